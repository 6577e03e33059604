// Starts the headless Chromium the browser checks drive: Debian's (or $CHROMIUM), in a
// profile of its own, with nothing of its own on the network and sound only after a
// gesture, as a player's browser starts the page.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

// profilePrefix: the temporary profile folder's name starts with it; extraArgs go on
// Chromium's command line besides.
export function launchChromium(profilePrefix, extraArgs = []) {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), profilePrefix)),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required', ...extraArgs],
  });
}
