#!/usr/bin/python3
# Writes the content file data/plimo.xml (ISO-8859-1) and checks every text against the font.
#
# Each language holds the five menu screens with exactly the items the game reads, and
# the "Who is playing?" screen of a class list (its title and hint).
# Before writing, every text is measured with data/font_32.bmp as the game measures it
# (advance = rightmost minus leftmost lit column, a space = cell width / 4) and must fit
# its place on the screen; every byte must be a space or a glyph with ink.
#
# Usage: /usr/bin/python3 makers/make_content.py   (no arguments; run make_font.py first)

import os
import re
import sys
from xml.sax.saxutils import escape

import numpy as np
from PIL import Image

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(REPO, "data")

# Screen names and how many items the game reads from each.
SCREENS = [("main", 9), ("credits", 10), ("difficulty", 6), ("help", 1), ("gameover", 4),
           ("players", 2)]

# The widest score the label must leave room for, and where texts start on the screen.
SCORE_SAMPLE = " -99999"
# Menu texts stand on the menu picture's panel (x 196..634): they end, shadow included, at
# least PANEL_MARGIN pixels inside its right edge.
PANEL_RIGHT = 634
PANEL_MARGIN = 10
RIGHT_EDGE = PANEL_RIGHT - PANEL_MARGIN
SHADOW = 2                # drawMenuText's shadow reaches 2 columns past the last glyph
MENU_X = 240              # main, credits, difficulty, gameover and the language list
HELP_X = 200              # the help line
HELP_WIDTH = 420          # the help line stays inside the label panel of help.bmp
NAME_X = 280              # the language name on LanguagePick
HINT_WIDTH = 620          # the "Who is playing?" hint, centred under the panel (shadow included)

# The font draws these keyboard signs as the school's multiplication and division signs,
# for the problems; in a menu text they would not show as typed.
SCHOOL_SIGNS = {ord("*"): "a multiplication cross", ord("/"): "a division sign"}
# '<' and '>' are the menu cursor's chevrons, taller than a line: in a text they would
# reach into the lines 20 pixels above and below.
SCHOOL_SIGNS.update({ord("<"): "a cursor chevron", ord(">"): "a cursor chevron"})

CREDITS_FONT = "DejaVu Sans Bold"
CREDITS_LICENCE = "Bitstream Vera"

# code, langpick, name, then the screens' items in order.
LANGUAGES = [
    ("en", "English", "English", {
        "main": ["Pick a game", "Addition", "Positive or negative?", "Subtraction",
                 "Multiplication", "Division", "Mixed", "Credits", "Quit"],
        "credits": ["Credits",
                    "Plimo is free software,",
                    "made by the Plimo developers.",
                    "Its pictures, music and",
                    "sounds were made by",
                    "Plimo's own programs.",
                    "Have fun!",
                    "Font: " + CREDITS_FONT,
                    "(" + CREDITS_LICENCE + " licence)",
                    "Back"],
        "difficulty": ["How hard?", "Easy", "Medium", "Hard", "Very hard", "Back"],
        "help": ["Answer each problem in time!"],
        "gameover": ["Game over", "Score:", "Play again", "Main menu"],
        "players": ["Who is playing?", "Pick your name and press Enter"],
    }),
    ("de", "Deutsch", "Deutsch", {
        "main": ["Wähle ein Spiel", "Addition", "Positiv oder negativ?", "Subtraktion",
                 "Multiplikation", "Division", "Alles gemischt", "Über Plimo", "Beenden"],
        "credits": ["Über Plimo",
                    "Plimo ist freie Software",
                    "von den Plimo-Entwicklern.",
                    "Bilder, Musik und Klänge",
                    "stammen aus Plimos",
                    "eigenen Programmen.",
                    "Viel Spaß beim Rechnen!",
                    "Schrift: " + CREDITS_FONT,
                    "(Lizenz: " + CREDITS_LICENCE + ")",
                    "Zurück"],
        "difficulty": ["Wie schwer?", "Leicht", "Mittel", "Schwer", "Sehr schwer", "Zurück"],
        "help": ["Löse jede Aufgabe rechtzeitig!"],
        "gameover": ["Spiel vorbei", "Punkte:", "Noch einmal", "Hauptmenü"],
        "players": ["Wer spielt?", "Wähle deinen Namen, dann Enter"],
    }),
    ("fr", "Français", "Français", {
        "main": ["Choisis un jeu", "Addition", "Positif ou négatif ?", "Soustraction",
                 "Multiplication", "Division", "Tout mélangé", "Crédits", "Quitter"],
        "credits": ["Crédits",
                    "Plimo est un logiciel libre",
                    "créé par ses développeurs.",
                    "Les images, la musique et",
                    "les sons ont été créés par",
                    "les programmes de Plimo.",
                    "Amuse-toi bien !",
                    "Police : " + CREDITS_FONT,
                    "(licence " + CREDITS_LICENCE + ")",
                    "Retour"],
        "difficulty": ["Quel niveau ?", "Facile", "Moyen", "Difficile", "Très difficile",
                       "Retour"],
        "help": ["Résous chaque calcul à temps !"],
        "gameover": ["Partie terminée", "Score :", "Rejouer", "Menu principal"],
        "players": ["Qui joue ?", "Choisis ton nom, puis Entrée"],
    }),
    ("es", "Español", "Español", {
        "main": ["Elige un juego", "Suma", "¿Positivo o negativo?", "Resta",
                 "Multiplicación", "División", "Todo mezclado", "Créditos", "Salir"],
        "credits": ["Créditos",
                    "Plimo es software libre,",
                    "hecho por sus desarrolladores.",
                    "Las imágenes, la música y",
                    "los sonidos los han creado",
                    "los programas de Plimo.",
                    "¡Que te diviertas!",
                    "Fuente: " + CREDITS_FONT,
                    "(licencia " + CREDITS_LICENCE + ")",
                    "Volver"],
        "difficulty": ["¿Qué nivel?", "Fácil", "Normal", "Difícil", "Muy difícil", "Volver"],
        "help": ["¡Resuelve cada cuenta a tiempo!"],
        "gameover": ["Fin de la partida", "Puntos:", "Jugar otra vez", "Menú principal"],
        "players": ["¿Quién juega?", "Elige tu nombre y pulsa Intro"],
    }),
    ("it", "Italiano", "Italiano", {
        "main": ["Scegli un gioco", "Addizione", "Positivo o negativo?", "Sottrazione",
                 "Moltiplicazione", "Divisione", "Tutto misto", "Riconoscimenti", "Esci"],
        "credits": ["Riconoscimenti",
                    "Plimo è software libero,",
                    "fatto dai suoi sviluppatori.",
                    "Immagini, musica e suoni",
                    "sono stati creati dai",
                    "programmi di Plimo.",
                    "Buon divertimento!",
                    "Carattere: " + CREDITS_FONT,
                    "(licenza " + CREDITS_LICENCE + ")",
                    "Indietro"],
        "difficulty": ["Quale livello?", "Facile", "Medio", "Difficile", "Molto difficile",
                       "Indietro"],
        "help": ["Risolvi ogni calcolo in tempo!"],
        "gameover": ["Partita finita", "Punti:", "Gioca ancora", "Menu principale"],
        "players": ["Chi gioca?", "Scegli il tuo nome e premi Invio"],
    }),
    ("nl", "Nederlands", "Nederlands", {
        "main": ["Kies een spel", "Optellen", "Positief of negatief?", "Aftrekken",
                 "Vermenigvuldigen", "Delen", "Alles door elkaar", "Over Plimo", "Stoppen"],
        "credits": ["Over Plimo",
                    "Plimo is vrije software,",
                    "gemaakt door het Plimo-team.",
                    "Plaatjes, muziek en geluid",
                    "komen uit Plimo's eigen",
                    "programma's.",
                    "Veel plezier!",
                    "Lettertype: " + CREDITS_FONT,
                    "(licentie: " + CREDITS_LICENCE + ")",
                    "Terug"],
        "difficulty": ["Hoe moeilijk?", "Makkelijk", "Gemiddeld", "Moeilijk",
                       "Heel moeilijk", "Terug"],
        "help": ["Los elke som op tijd op!"],
        "gameover": ["Afgelopen!", "Score:", "Nog een keer", "Hoofdmenu"],
        "players": ["Wie speelt er?", "Kies je naam en druk op Enter"],
    }),
    ("pt", "Português", "Português", {
        "main": ["Escolhe um jogo", "Adição", "Positivo ou negativo?", "Subtração",
                 "Multiplicação", "Divisão", "Tudo misturado", "Créditos", "Sair"],
        "credits": ["Créditos",
                    "Plimo é software livre,",
                    "feito pelos seus criadores.",
                    "As imagens, a música e os",
                    "sons foram feitos pelos",
                    "programas do próprio Plimo.",
                    "Diverte-te!",
                    "Fonte: " + CREDITS_FONT,
                    "(licença " + CREDITS_LICENCE + ")",
                    "Voltar"],
        "difficulty": ["Qual nível?", "Fácil", "Médio", "Difícil", "Muito difícil", "Voltar"],
        "help": ["Resolve cada conta a tempo!"],
        "gameover": ["Fim de jogo", "Pontos:", "Jogar de novo", "Menu principal"],
        "players": ["Quem está a jogar?", "Escolhe o nome e prime Enter"],
    }),
    ("sv", "Svenska", "Svenska", {
        "main": ["Välj ett spel", "Addition", "Positivt eller negativt?", "Subtraktion",
                 "Multiplikation", "Division", "Blandat", "Om Plimo", "Avsluta"],
        "credits": ["Om Plimo",
                    "Plimo är fri programvara,",
                    "gjord av Plimos utvecklare.",
                    "Bilder, musik och ljud",
                    "kommer från Plimos egna",
                    "program.",
                    "Ha så kul!",
                    "Typsnitt: " + CREDITS_FONT,
                    "(licens: " + CREDITS_LICENCE + ")",
                    "Tillbaka"],
        "difficulty": ["Hur svårt?", "Lätt", "Medel", "Svårt", "Mycket svårt", "Tillbaka"],
        "help": ["Svara på varje tal i tid!"],
        "gameover": ["Spelet är slut", "Poäng:", "Spela igen", "Huvudmeny"],
        "players": ["Vem spelar?", "Välj ditt namn och tryck Enter"],
    }),
    ("da", "Dansk", "Dansk", {
        "main": ["Vælg et spil", "Addition", "Positivt eller negativt?", "Subtraktion",
                 "Multiplikation", "Division", "Blandet", "Om Plimo", "Afslut"],
        "credits": ["Om Plimo",
                    "Plimo er fri software,",
                    "lavet af Plimos udviklere.",
                    "Billeder, musik og lyde",
                    "kommer fra Plimos egne",
                    "programmer.",
                    "God fornøjelse!",
                    "Skrift: " + CREDITS_FONT,
                    "(licens: " + CREDITS_LICENCE + ")",
                    "Tilbage"],
        "difficulty": ["Hvor svært?", "Let", "Mellem", "Svært", "Meget svært", "Tilbage"],
        "help": ["Svar på hvert regnestykke i tide!"],
        "gameover": ["Spillet er slut", "Point:", "Spil igen", "Hovedmenu"],
        "players": ["Hvem spiller?", "Vælg dit navn og tryk Enter"],
    }),
    ("no", "Norsk", "Norsk", {
        "main": ["Velg et spill", "Addisjon", "Positivt eller negativt?", "Subtraksjon",
                 "Multiplikasjon", "Divisjon", "Blandet", "Om Plimo", "Avslutt"],
        "credits": ["Om Plimo",
                    "Plimo er fri programvare,",
                    "laget av Plimo-utviklerne.",
                    "Bilder, musikk og lyder",
                    "kommer fra Plimos egne",
                    "programmer.",
                    "Ha det gøy!",
                    "Skrift: " + CREDITS_FONT,
                    "(lisens: " + CREDITS_LICENCE + ")",
                    "Tilbake"],
        "difficulty": ["Hvor vanskelig?", "Lett", "Middels", "Vanskelig", "Svært vanskelig",
                       "Tilbake"],
        "help": ["Svar på hvert regnestykke i tide!"],
        "gameover": ["Spillet er slutt", "Poeng:", "Spill igjen", "Hovedmeny"],
        "players": ["Hvem spiller?", "Velg navnet ditt og trykk Enter"],
    }),
    ("fi", "Suomi", "Suomi", {
        "main": ["Valitse peli", "Yhteenlasku", "Positiivinen vai negatiivinen?",
                 "Vähennyslasku", "Kertolasku", "Jakolasku", "Kaikki sekaisin", "Tekijät",
                 "Lopeta"],
        "credits": ["Tekijät",
                    "Plimo on vapaa ohjelmisto.",
                    "Sen tekivät Plimon kehittäjät.",
                    "Kuvat, musiikki ja äänet",
                    "on tehty Plimon omilla",
                    "ohjelmilla.",
                    "Hauskaa laskemista!",
                    "Fontti: " + CREDITS_FONT,
                    "(" + CREDITS_LICENCE + " -lisenssi)",
                    "Takaisin"],
        "difficulty": ["Kuinka vaikea?", "Helppo", "Keskitaso", "Vaikea", "Tosi vaikea",
                       "Takaisin"],
        "help": ["Vastaa laskuihin ajoissa!"],
        "gameover": ["Peli päättyi", "Pisteet:", "Pelaa uudestaan", "Päävalikko"],
        "players": ["Kuka pelaa?", "Valitse nimesi ja paina Enter"],
    }),
    ("ca", "Català", "Català", {
        "main": ["Tria un joc", "Suma", "Positiu o negatiu?", "Resta",
                 "Multiplicació", "Divisió", "Tot barrejat", "Crèdits", "Surt"],
        "credits": ["Crèdits",
                    "Plimo és programari lliure,",
                    "fet pels seus desenvolupadors.",
                    "Les imatges, la música i els",
                    "sons els han creat els seus",
                    "programes.",
                    "Diverteix-te!",
                    # the font's line follows the blank line as one entry, label and
                    # name together ("Tipus de lletra: ..." is wider than the panel)
                    "Tipografia: " + CREDITS_FONT,
                    "(llicència " + CREDITS_LICENCE + ")",
                    "Enrere"],
        "difficulty": ["Quin nivell?", "Fàcil", "Normal", "Difícil", "Molt difícil", "Enrere"],
        "help": ["Resol cada càlcul a temps!"],
        "gameover": ["Fi de la partida", "Punts:", "Torna a jugar", "Menú principal"],
        "players": ["Qui juga?", "Tria el teu nom i prem Intro"],
    }),
]


def loadMetrics(path):
    """The game's glyph measurement: per cell, leftmost lit column and width (rightmost
    minus leftmost lit column; an empty cell gets left = w, width = -w)."""
    img = np.asarray(Image.open(path).convert("RGB")).astype(np.int64)
    w = img.shape[1]
    lit = img.sum(axis=2) != 0
    widths = {}
    for i in range(min(img.shape[0] // w, 256)):
        cols = np.nonzero(lit[i * w:(i + 1) * w].any(axis=0))[0]
        widths[33 + i] = int(cols.max() - cols.min()) if len(cols) else -w
    return w, widths


def textWidth(data, cell, widths):
    """Pen advance of a byte string drawn with drawMenuText."""
    return sum(cell // 4 if b == 32 else widths.get(b, 0) for b in data)


def check(languages, cell, widths):
    """Every byte inked and every text inside the screen; returns the per-screen maxima
    and a list of problems."""
    problems = []
    maxima = {}

    def fits(where, data, x, screen):
        for b in data:
            if b != 32 and widths.get(b, 0) <= 0:
                problems.append("%s: byte 0x%02X has no ink in the font" % (where, b))
            if b in SCHOOL_SIGNS:
                problems.append("%s: '%s' would show as %s" % (where, chr(b), SCHOOL_SIGNS[b]))
        width = textWidth(data, cell, widths)
        maxima[screen] = max(maxima.get(screen, 0), width)
        if x + width + SHADOW > RIGHT_EDGE:
            problems.append("%s: %d pixels from x %d come closer than %d pixels to the "
                            "panel's edge at x %d: %r"
                            % (where, width, x, PANEL_MARGIN, PANEL_RIGHT,
                               data.decode("latin-1")))

    for code, langpick, name, screens in languages:
        fits(code + " langpick", langpick.encode("latin-1"), MENU_X, "langpick")
        fits(code + " name", name.encode("latin-1"), NAME_X, "name")
        for screenName, count in SCREENS:
            items = screens[screenName]
            if len(items) != count:
                problems.append("%s %s: %d items, the game reads %d"
                                % (code, screenName, len(items), count))
            for i, text in enumerate(items):
                where = "%s %s item %d" % (code, screenName, i + 1)
                data = text.encode("latin-1")
                if screenName == "help":
                    fits(where, data, HELP_X, screenName)
                    if textWidth(data, cell, widths) > HELP_WIDTH:
                        problems.append("%s: wider than %d pixels" % (where, HELP_WIDTH))
                elif screenName == "players" and i == 1:
                    fits(where, data, 0, screenName)
                    if textWidth(data, cell, widths) + SHADOW > HINT_WIDTH:
                        problems.append("%s: wider than %d pixels" % (where, HINT_WIDTH))
                elif screenName == "gameover" and i == 1:
                    fits(where + " with a score", data + SCORE_SAMPLE.encode(), MENU_X,
                         screenName)
                else:
                    fits(where, data, MENU_X, screenName)
    return maxima, problems


def quote(text):
    return '"' + escape(text, {'"': "&quot;"}) + '"'


def render(languages):
    lines = ['<?xml version="1.0" encoding="ISO-8859-1"?>',
             "<!-- Plimo's menu texts: one language element per language. -->"]
    for code, langpick, name, screens in languages:
        lines.append("<language langpick=%s image=%s name=%s>"
                     % (quote(langpick), quote("lang_%s.bmp" % code), quote(name)))
        for screenName, _ in SCREENS:
            lines.append("  <screen name=%s>" % quote(screenName))
            for text in screens[screenName]:
                lines.append("    <item text=%s/>" % quote(text))
            lines.append("  </screen>")
        lines.append("</language>")
    return ("\n".join(lines) + "\n").encode("latin-1")


def wordHyphens(languages):
    """The languages with every hyphen that joins or starts a word ("Plimo-team",
    "-lisenssi") written as the soft hyphen: the font draws '-' as the problems' minus,
    as wide as the plus, and the soft hyphen as a word's short hyphen."""
    def fix(text):
        return re.sub(r"(?<=\w)-|-(?=\w)", "\u00ad", text)
    return [(code, fix(langpick), fix(name),
             {screen: [fix(t) for t in items] for screen, items in screens.items()})
            for code, langpick, name, screens in languages]


def main():
    cell, widths = loadMetrics(os.path.join(DATA, "font_32.bmp"))
    languages = wordHyphens(LANGUAGES)
    maxima, problems = check(languages, cell, widths)
    if problems:
        sys.exit("make_content.py:\n  " + "\n  ".join(problems))
    with open(os.path.join(DATA, "plimo.xml"), "wb") as out:
        out.write(render(languages))
    if "-v" in sys.argv[1:]:
        for screen, width in sorted(maxima.items()):
            print("%-10s widest text %3d px" % (screen, width))


if __name__ == "__main__":
    main()
