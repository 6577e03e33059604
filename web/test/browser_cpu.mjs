// Measures the CPU that Plimo's page costs in Debian's headless Chromium, all of
// Chromium's processes together, against a floor page of the same size that puts a 60x20
// region 48 times a second (floor.html), in turns in one run: the language screen, the
// idle main menu and a game nobody answers. Prints a table of CPU seconds per second and
// the ratios to the floor beside the budgets; a measurement, not a test: it fails only
// when the game does not reach a screen.
//
//   node web/test/browser_cpu.mjs --site build-web/site [--before <another site>]
//                                 [--seconds 3] [--game-seconds 20] [--rounds 1]
// --before measures another build of the page in the same turns (e.g. one built from an
// earlier commit), for a before/after table. --game-seconds measures the game from its
// first problem for that long instead of --seconds, or until it is over (20: a game's
// first 20 s).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { launchChromium } from './chromium.mjs';

const args = Object.fromEntries(
  process.argv.slice(2).reduce((pairs, a, i, all) => (a.startsWith('--') ? [...pairs, [a.slice(2), all[i + 1]]] : pairs), []));
const sites = { after: path.resolve(args.site || 'build-web/site') };
if (args.before) sites.before = path.resolve(args.before);
const seconds = Number(args.seconds || 3);
const gameSeconds = Number(args['game-seconds'] || seconds);
const rounds = Number(args.rounds || 1);
const testDir = path.dirname(new URL(import.meta.url).pathname);
const StateTimeoutMs = 30000;
const Screen = { LanguagePick: 2, MainMenu: 3, Difficulty: 5, Help: 6, Playing: 7 };
const Scenes = [
  { name: 'language screen', budget: 1.3 },
  { name: 'main menu, idle', budget: 1.3 },
  { name: 'game, nobody answers', budget: 1.6 },
];

// ---- the pages' server: /floor.html, and each site under its name

const types = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.json': 'application/json',
                '.wasm': 'application/wasm', '.png': 'image/png' };
function serve() {
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    const [, first, ...rest] = url.pathname.split('/');
    const file = first === 'floor.html' ? path.join(testDir, 'floor.html')
      : sites[first] ? path.join(sites[first], ...rest) : null;
    if (!file || file.includes('..') || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-store' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- CPU seconds of all of Chromium's processes

// Settling first: the first seconds of a page (its code compiled again, optimised, in
// the background; the sounds decoded at the first key) are not what the page costs.
// The span ends early when over() comes true (polled 5 times a second).
async function cpuSpan(cdp, settleSeconds = 0.5, spanSeconds = seconds, over = async () => false) {
  await new Promise((r) => setTimeout(r, settleSeconds * 1000));
  const snapshot = async () => {
    const { processInfo } = await cdp.send('SystemInfo.getProcessInfo');
    return new Map(processInfo.map((p) => [p.id, p.cpuTime]));
  };
  const before = await snapshot();
  const start = Date.now();
  // The span measured, not a wait for a state.
  while (Date.now() - start < spanSeconds * 1000 && !(await over()))
    await new Promise((r) => setTimeout(r, Math.min(200, spanSeconds * 1000 - (Date.now() - start))));
  const after = await snapshot();
  const wall = (Date.now() - start) / 1000;
  let cpu = 0;
  for (const [id, t] of after) cpu += t - (before.get(id) || 0);
  return cpu / wall;
}

// ---- the game, walked with keys to each scene, each measured in turn

// Polled by time, not by animation frames: the game asks for none while it waits, and a
// headless browser then sometimes gives the test's own waits none either.
async function waitScreen(page, screen) {
  await page.waitForFunction((s) => window.Module && window.Module._plimoScreen && window.Module._plimoScreen() === s,
                             { polling: 20, timeout: StateTimeoutMs }, screen);
}

async function measureGame(page, cdp, base) {
  await page.goto(base + 'index.html');
  // The first key starts the game and its sound, as a player's does; the splash gives way
  // to the language screen by itself.
  await page.waitForFunction(() => performance.getEntriesByName('plimo-page').length, { timeout: StateTimeoutMs });
  await page.keyboard.press('Space');
  await waitScreen(page, Screen.LanguagePick);
  const language = await cpuSpan(cdp, 2);
  await page.keyboard.press('Enter');
  await waitScreen(page, Screen.MainMenu);
  const menu = await cpuSpan(cdp);
  await page.keyboard.press('Enter');
  await waitScreen(page, Screen.Difficulty);
  await page.keyboard.press('Enter');
  await waitScreen(page, Screen.Playing);
  await page.waitForFunction(() => window.Module._plimoLeadingAnswer() !== -2147483648,
                             { polling: 20, timeout: StateTimeoutMs });
  // A game nobody answers at Easy ends by itself after about 20 s: the span ends with it.
  const game = await cpuSpan(cdp, 0, gameSeconds,
                             async () => (await page.evaluate(() => window.Module._plimoScreen())) !== Screen.Playing);
  return [language, menu, game];
}

async function measureFloor(page, cdp, base, size) {
  await page.goto(`${base}floor.html?size=${size.w}x${size.h}`);
  await page.waitForFunction(() => window.floorChanges && window.floorChanges() > 10, { polling: 'raf', timeout: StateTimeoutMs });
  return cpuSpan(cdp, 2);
}

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};

// ---- main

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await launchChromium('plimo-chromium-cpu-');
const samples = { floor: [] };
for (const name of Object.keys(sites)) samples[name] = Scenes.map(() => []);
let status = 0;
try {
  const [page] = await browser.pages();
  await page.setViewport({ width: 900, height: 720 });
  // What the page costs, not what keeping it offline does.
  await page.setBypassServiceWorker(true);
  const cdp = await browser.target().createCDPSession();
  // The floor's canvas is shown as large as the game's.
  await page.goto(base + 'after/index.html');
  const size = await page.evaluate(() => {
    const box = document.getElementById('screen').getBoundingClientRect();
    return { w: Math.round(box.width), h: Math.round(box.height) };
  });
  for (let round = 0; round < rounds; round++) {
    samples.floor.push(await measureFloor(page, cdp, base, size));
    for (const name of Object.keys(sites)) {
      const got = await measureGame(page, cdp, `${base}${name}/`);
      got.forEach((v, i) => samples[name][i].push(v));
    }
  }
} catch (e) {
  console.error(`browser_cpu: ${e.message}`);
  status = 1;
} finally {
  await browser.close();
  server.close();
}
if (status) process.exit(status);

const floor = median(samples.floor);
const names = ['before', 'after'].filter((n) => sites[n]);
const label = (n) => (sites.before ? n : 'page');
const cell = (v) => v.toFixed(3);
console.log(`Chromium, all processes, CPU seconds per second (median of ${rounds} round${rounds > 1 ? 's' : ''}, ` +
            `${seconds} s a sample, the game ${gameSeconds} s from its first problem); floor: a 60x20 region of a ${640}x${480} canvas put 48 times a second`);
console.log(`| scene | floor | ${names.map((n) => `${label(n)} | ${label(n)} / floor`).join(' | ')} | budget |`);
console.log(`|---|---|${names.map(() => '---|---|').join('')}---|`);
Scenes.forEach((scene, i) => {
  const cols = names.map((n) => {
    const v = median(samples[n][i]);
    return `${cell(v)} | ${(v / floor).toFixed(2)}x`;
  });
  const now = median(samples.after[i]) / floor;
  console.log(`| ${scene.name} | ${cell(floor)} | ${cols.join(' | ')} | ${scene.budget}x ${now <= scene.budget ? 'within' : 'OVER'} |`);
});
