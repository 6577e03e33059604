#!/usr/bin/python3
# Writes the content file data/plimo.xml (ISO-8859-1) and checks every text against the font.
#
# Each language holds the five menu screens with exactly the items the game reads, then
# the practice screen, whose items are read by name.
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
SCREENS = [("main", 9), ("credits", 10), ("difficulty", 6), ("help", 1), ("gameover", 4)]

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
    }),
]


# The practice screen: the words of the practice settings, the class and the progress
# grids, read by name (src/content/practice_texts.cpp keeps the same names, in the same
# order, with the English words it falls back on). A new item goes at the end of this
# list, in every language below, and into the game's table.
PRACTICE_SCREEN = "practice"
# (name, where it is shown, how many numbered placeholders {1}.. it has, each once).
# "line" is drawn on a screen of the game, "mark" after a fact in the practice list,
# "terminal" printed by --progress and --class-progress only (still drawable, so that the
# page can show it).
PRACTICE_ITEMS = [
    ("summary", "line", 4),          # answered, missed, right at the first try, median seconds
    ("markWrong", "mark", 0),        # a fact answered wrong, in the practice list
    ("markSlow", "mark", 0),         # a fact not answered in time
    ("listLegend", "line", 0),       # what the two marks mean
    ("pauseHint", "line", 0),
    ("classTitle", "line", 0),       # "Who is playing?"
    ("classHint", "line", 0),        # how to choose a name
    ("fluent", "terminal", 0),
    ("sometimesWrong", "terminal", 0),
    ("rightButSlow", "terminal", 0),
    ("stuck", "terminal", 0),
    ("notYetAsked", "terminal", 0),
    ("games", "terminal", 0),
    ("minutes", "terminal", 0),
    ("lastPlayed", "terminal", 0),
    ("fluentRule", "terminal", 1),   # {1}: the fluency time in seconds
    ("addition", "terminal", 0),     # the operations' names, as on the main menu
    ("subtraction", "terminal", 0),
    ("multiplication", "terminal", 0),
    ("division", "terminal", 0),
    ("additionGrid", "terminal", 0),  # how a grid's rows and columns are read
    ("subtractionGrid", "terminal", 0),
    ("multiplicationGrid", "terminal", 0),
    ("divisionGrid", "terminal", 0),
    ("progressHeading", "terminal", 2),  # {1}: the record's file, {2}: how many facts
    ("progressNone", "terminal", 1),     # {1}: the record's file
    ("legendIntro", "terminal", 0),
    ("beyondTwelve", "terminal", 0),
    ("classStuck", "terminal", 0),
    ("classNone", "terminal", 0),
    ("rightSoFar", "terminal", 0),         # the mark of a fact right and quick, not yet often enough
    ("legendFluent", "terminal", 1),       # the legend's line per mark: its word, then what it
    ("legendRightSoFar", "terminal", 0),   # means (made below from the word and LEGEND_MEANINGS);
    ("legendRightButSlow", "terminal", 0), # {1}: the fluency time in seconds
    ("legendSometimesWrong", "terminal", 0),
    ("legendStuck", "terminal", 0),
    ("legendNotYetPlayed", "terminal", 0),
    ("progressOf", "terminal", 5),  # {1} player, {2} record's file, {3} facts, {4} games, {5} last day
    ("classOf", "terminal", 2),     # {1} where the records came from, {2} how many children
    ("classMarks", "terminal", 0),  # what the class view's columns count (made below from the words)
    ("noneYet", "terminal", 0),     # after an operation none of whose facts anyone is stuck on
]
# The operations' names come from the main menu's items (by position, from 0).
OPERATION_ITEMS = {"addition": 1, "subtraction": 3, "multiplication": 4, "division": 5}

# Widths the drawn items must keep, in pixels at the menus' 1x size: a line stays inside
# the screen less 20 pixels each side, a summary with two-digit counts and "9.9" seconds
# included; a mark stays short enough to follow a fact in a column of the practice list.
LINE_WIDTH = 600
MARK_WIDTH = 100
SUMMARY_SAMPLE = ["99", "99", "99", "9.9"]

PRACTICE_WORDS = {
    "en": {
        "summary": "{1} answered, {2} missed, {3} at first try, {4} s",
        "markWrong": "wrong",
        "markSlow": "slow",
        "listLegend": "wrong: a wrong answer; slow: too late",
        "pauseHint": "Press a key to go on",
        "classTitle": "Who is playing?",
        "classHint": "Choose with the arrows, then press Return",
        "fluent": "fluent",
        "sometimesWrong": "sometimes wrong",
        "rightButSlow": "right but slow",
        "stuck": "stuck",
        "notYetAsked": "not yet asked",
        "games": "games",
        "minutes": "minutes",
        "lastPlayed": "last played",
        "fluentRule": "right within {1} s on two of the last three askings, on two days or more",
        "additionGrid": "row plus column",
        "subtractionGrid": "row is the number taken away, column the answer",
        "multiplicationGrid": "row times column",
        "divisionGrid": "row is the divisor, column the answer",
        "progressHeading": "Progress kept in {1}: {2} facts played",
        "progressNone": "No progress kept yet: {1} does not exist.",
        "legendIntro": "Each fact is marked by how the child answers it over all the games kept:",
        "beyondTwelve": "Facts beyond 12 (hardest difficulty):",
        "classStuck": "Facts most children are stuck on:",
        "classNone": "No child's progress kept yet.",
        "rightSoFar": "right so far",
        "progressOf": "Progress of {1} kept in {2}: {3} facts played in {4} games, last on {5}.",
        "classOf": "Class progress from {1}: {2} children.",
        "noneYet": "none",
    },
    "de": {
        "summary": "{1} gelöst, {2} verpasst, {3} beim ersten Mal, {4} s",
        "markWrong": "falsch",
        "markSlow": "langsam",
        "listLegend": "falsch: falsche Antwort; langsam: zu spät",
        "pauseHint": "Drücke eine Taste zum Weiterspielen",
        "classTitle": "Wer spielt?",
        "classHint": "Mit den Pfeiltasten wählen, dann Eingabe drücken",
        "fluent": "sicher",
        "sometimesWrong": "manchmal falsch",
        "rightButSlow": "richtig, aber langsam",
        "stuck": "schwierig",
        "notYetAsked": "noch nicht gefragt",
        "games": "Spiele",
        "minutes": "Minuten",
        "lastPlayed": "zuletzt gespielt",
        "fluentRule": "richtig in {1} s bei zwei der letzten drei Fragen, an mindestens zwei Tagen",
        "additionGrid": "Zeile plus Spalte",
        "subtractionGrid": "Zeile ist die abgezogene Zahl, Spalte das Ergebnis",
        "multiplicationGrid": "Zeile mal Spalte",
        "divisionGrid": "Zeile ist der Teiler, Spalte das Ergebnis",
        "progressHeading": "Fortschritt gespeichert in {1}: {2} Aufgaben gespielt",
        "progressNone": "Noch kein Fortschritt gespeichert: {1} gibt es nicht.",
        "legendIntro": "Jede Aufgabe ist danach markiert, wie das Kind sie in allen gespeicherten Spielen löst:",
        "beyondTwelve": "Aufgaben über 12 (höchste Schwierigkeit):",
        "classStuck": "Aufgaben, die den meisten Kindern schwerfallen:",
        "classNone": "Noch kein Fortschritt eines Kindes gespeichert.",
        "rightSoFar": "bisher richtig",
        "progressOf": "Fortschritt von {1} gespeichert in {2}: {3} Aufgaben gespielt in {4} Spielen, zuletzt am {5}.",
        "classOf": "Fortschritt der Klasse aus {1}: {2} Kinder.",
        "noneYet": "keine",
    },
    "fr": {
        "summary": "{1} résolus, {2} manqués, {3} du premier coup, {4} s",
        "markWrong": "faux",
        "markSlow": "lent",
        "listLegend": "faux : réponse fausse ; lent : trop tard",
        "pauseHint": "Appuie sur une touche pour continuer",
        "classTitle": "Qui joue ?",
        "classHint": "Choisis avec les flèches, puis appuie sur Entrée",
        "fluent": "acquis",
        "sometimesWrong": "parfois faux",
        "rightButSlow": "juste mais lent",
        "stuck": "bloqué",
        "notYetAsked": "pas encore posé",
        "games": "parties",
        "minutes": "minutes",
        "lastPlayed": "dernière partie",
        "fluentRule": "juste en {1} s à deux des trois dernières questions, sur au moins deux jours",
        "additionGrid": "ligne plus colonne",
        "subtractionGrid": "la ligne est le nombre retiré, la colonne le résultat",
        "multiplicationGrid": "ligne fois colonne",
        "divisionGrid": "la ligne est le diviseur, la colonne le résultat",
        "progressHeading": "Progrès gardés dans {1} : {2} calculs joués",
        "progressNone": "Aucun progrès gardé pour l'instant : {1} n'existe pas.",
        "legendIntro": "Chaque calcul est marqué selon les réponses de l'enfant dans toutes les parties gardées :",
        "beyondTwelve": "Calculs au-delà de 12 (plus haut niveau) :",
        "classStuck": "Calculs qui bloquent la plupart des enfants :",
        "classNone": "Aucun progrès d'enfant gardé pour l'instant.",
        "rightSoFar": "juste jusqu'ici",
        "progressOf": "Progrès de {1} gardés dans {2} : {3} calculs joués en {4} parties, dernière le {5}.",
        "classOf": "Progrès de la classe depuis {1} : {2} enfants.",
        "noneYet": "aucun",
    },
    "es": {
        "summary": "{1} resueltas, {2} perdidas, {3} a la primera, {4} s",
        "markWrong": "mal",
        "markSlow": "lenta",
        "listLegend": "mal: respuesta errónea; lenta: tarde",
        "pauseHint": "Pulsa una tecla para seguir",
        "classTitle": "¿Quién juega?",
        "classHint": "Elige con las flechas y pulsa Intro",
        "fluent": "dominada",
        "sometimesWrong": "a veces mal",
        "rightButSlow": "bien pero lenta",
        "stuck": "atascada",
        "notYetAsked": "aún no preguntada",
        "games": "partidas",
        "minutes": "minutos",
        "lastPlayed": "última partida",
        "fluentRule": "bien en {1} s en dos de las tres últimas veces, en dos días o más",
        "additionGrid": "fila más columna",
        "subtractionGrid": "la fila es el número que se resta, la columna el resultado",
        "multiplicationGrid": "fila por columna",
        "divisionGrid": "la fila es el divisor, la columna el resultado",
        "progressHeading": "Progreso guardado en {1}: {2} cuentas jugadas",
        "progressNone": "Aún no hay progreso guardado: {1} no existe.",
        "legendIntro": "Cada cuenta se marca según cómo la responde el niño en todas las partidas guardadas:",
        "beyondTwelve": "Cuentas de más de 12 (nivel más difícil):",
        "classStuck": "Cuentas en las que se atascan más niños:",
        "classNone": "Aún no hay progreso guardado de ningún niño.",
        "rightSoFar": "bien hasta ahora",
        "progressOf": "Progreso de {1} guardado en {2}: {3} cuentas jugadas en {4} partidas, la última el {5}.",
        "classOf": "Progreso de la clase desde {1}: {2} niños.",
        "noneYet": "ninguna",
    },
    "it": {
        "summary": "{1} risolti, {2} mancati, {3} al primo colpo, {4} s",
        "markWrong": "errato",
        "markSlow": "lento",
        "listLegend": "errato: risposta sbagliata; lento: in ritardo",
        "pauseHint": "Premi un tasto per continuare",
        "classTitle": "Chi gioca?",
        "classHint": "Scegli con le frecce, poi premi Invio",
        "fluent": "sicuro",
        "sometimesWrong": "a volte sbagliato",
        "rightButSlow": "giusto ma lento",
        "stuck": "bloccato",
        "notYetAsked": "non ancora chiesto",
        "games": "partite",
        "minutes": "minuti",
        "lastPlayed": "ultima partita",
        "fluentRule": "giusto entro {1} s in due delle ultime tre domande, in almeno due giorni",
        "additionGrid": "riga più colonna",
        "subtractionGrid": "la riga è il numero tolto, la colonna il risultato",
        "multiplicationGrid": "riga per colonna",
        "divisionGrid": "la riga è il divisore, la colonna il risultato",
        "progressHeading": "Progressi salvati in {1}: {2} calcoli giocati",
        "progressNone": "Nessun progresso salvato: {1} non esiste.",
        "legendIntro": "Ogni calcolo è segnato secondo le risposte del bambino in tutte le partite salvate:",
        "beyondTwelve": "Calcoli oltre 12 (livello più difficile):",
        "classStuck": "Calcoli su cui si bloccano più bambini:",
        "classNone": "Nessun progresso di bambini ancora salvato.",
        "rightSoFar": "giusto finora",
        "progressOf": "Progressi di {1} salvati in {2}: {3} calcoli giocati in {4} partite, l'ultima il {5}.",
        "classOf": "Progressi della classe da {1}: {2} bambini.",
        "noneYet": "nessuno",
    },
    "nl": {
        "summary": "{1} beantwoord, {2} gemist, {3} meteen goed, {4} s",
        "markWrong": "fout",
        "markSlow": "traag",
        "listLegend": "fout: fout antwoord; traag: te laat",
        "pauseHint": "Druk op een toets om verder te gaan",
        "classTitle": "Wie speelt er?",
        "classHint": "Kies met de pijltjes en druk op Enter",
        "fluent": "vlot",
        "sometimesWrong": "soms fout",
        "rightButSlow": "goed maar traag",
        "stuck": "lastig",
        "notYetAsked": "nog niet gevraagd",
        "games": "spellen",
        "minutes": "minuten",
        "lastPlayed": "laatst gespeeld",
        "fluentRule": "goed binnen {1} s bij twee van de laatste drie keren, op twee dagen of meer",
        "additionGrid": "rij plus kolom",
        "subtractionGrid": "de rij is het getal dat eraf gaat, de kolom de uitkomst",
        "multiplicationGrid": "rij keer kolom",
        "divisionGrid": "de rij is de deler, de kolom de uitkomst",
        "progressHeading": "Voortgang bewaard in {1}: {2} sommen gespeeld",
        "progressNone": "Nog geen voortgang bewaard: {1} bestaat niet.",
        "legendIntro": "Elke som is gemarkeerd naar hoe het kind hem beantwoordt in alle bewaarde spellen:",
        "beyondTwelve": "Sommen boven 12 (moeilijkste niveau):",
        "classStuck": "Sommen waar de meeste kinderen op vastlopen:",
        "classNone": "Nog geen voortgang van een kind bewaard.",
        "rightSoFar": "tot nu toe goed",
        "progressOf": "Voortgang van {1} bewaard in {2}: {3} sommen gespeeld in {4} spellen, laatst op {5}.",
        "classOf": "Voortgang van de klas uit {1}: {2} kinderen.",
        "noneYet": "geen",
    },
    "pt": {
        "summary": "{1} respondidas, {2} falhadas, {3} à primeira, {4} s",
        "markWrong": "errada",
        "markSlow": "lenta",
        "listLegend": "errada: resposta errada; lenta: tarde demais",
        "pauseHint": "Carrega numa tecla para continuar",
        "classTitle": "Quem está a jogar?",
        "classHint": "Escolhe com as setas e carrega em Enter",
        "fluent": "dominada",
        "sometimesWrong": "às vezes errada",
        "rightButSlow": "certa mas lenta",
        "stuck": "difícil",
        "notYetAsked": "ainda não perguntada",
        "games": "jogos",
        "minutes": "minutos",
        "lastPlayed": "último jogo",
        "fluentRule": "certa em {1} s em duas das três últimas vezes, em dois dias ou mais",
        "additionGrid": "linha mais coluna",
        "subtractionGrid": "a linha é o número que se tira, a coluna o resultado",
        "multiplicationGrid": "linha vezes coluna",
        "divisionGrid": "a linha é o divisor, a coluna o resultado",
        "progressHeading": "Progresso guardado em {1}: {2} contas jogadas",
        "progressNone": "Ainda não há progresso guardado: {1} não existe.",
        "legendIntro": "Cada conta é marcada conforme a criança lhe responde em todos os jogos guardados:",
        "beyondTwelve": "Contas acima de 12 (nível mais difícil):",
        "classStuck": "Contas em que mais crianças ficam presas:",
        "classNone": "Ainda não há progresso guardado de nenhuma criança.",
        "rightSoFar": "certa até agora",
        "progressOf": "Progresso de {1} guardado em {2}: {3} contas jogadas em {4} jogos, o último em {5}.",
        "classOf": "Progresso da turma a partir de {1}: {2} crianças.",
        "noneYet": "nenhuma",
    },
    "sv": {
        "summary": "{1} besvarade, {2} missade, {3} rätt direkt, {4} s",
        "markWrong": "fel",
        "markSlow": "sent",
        "listLegend": "fel: fel svar; sent: inget svar i tid",
        "pauseHint": "Tryck på en tangent för att fortsätta",
        "classTitle": "Vem spelar?",
        "classHint": "Välj med pilarna och tryck på Retur",
        "fluent": "säker",
        "sometimesWrong": "ibland fel",
        "rightButSlow": "rätt men långsam",
        "stuck": "svår",
        "notYetAsked": "inte frågad än",
        "games": "spel",
        "minutes": "minuter",
        "lastPlayed": "senast spelat",
        "fluentRule": "rätt inom {1} s på två av de tre senaste gångerna, på minst två dagar",
        "additionGrid": "rad plus kolumn",
        "subtractionGrid": "raden är talet som dras bort, kolumnen svaret",
        "multiplicationGrid": "rad gånger kolumn",
        "divisionGrid": "raden är divisorn, kolumnen svaret",
        "progressHeading": "Framsteg sparade i {1}: {2} tal spelade",
        "progressNone": "Inga framsteg sparade än: {1} finns inte.",
        "legendIntro": "Varje tal är märkt efter hur barnet svarar på det i alla sparade spel:",
        "beyondTwelve": "Tal över 12 (svåraste nivån):",
        "classStuck": "Tal som de flesta barn fastnar på:",
        "classNone": "Inga framsteg sparade för något barn än.",
        "rightSoFar": "rätt hittills",
        "progressOf": "Framsteg för {1} sparade i {2}: {3} tal spelade i {4} spel, senast {5}.",
        "classOf": "Klassens framsteg från {1}: {2} barn.",
        "noneYet": "inga",
    },
    "da": {
        "summary": "{1} besvaret, {2} misset, {3} straks rigtige, {4} s",
        "markWrong": "forkert",
        "markSlow": "for sent",
        "listLegend": "forkert: forkert svar; for sent: svar for sent",
        "pauseHint": "Tryk på en tast for at fortsætte",
        "classTitle": "Hvem spiller?",
        "classHint": "Vælg med piletasterne, og tryk på Enter",
        "fluent": "sikker",
        "sometimesWrong": "nogle gange forkert",
        "rightButSlow": "rigtig, men langsom",
        "stuck": "svær",
        "notYetAsked": "ikke spurgt endnu",
        "games": "spil",
        "minutes": "minutter",
        "lastPlayed": "sidst spillet",
        "fluentRule": "rigtig inden for {1} s ved to af de sidste tre gange, på mindst to dage",
        "additionGrid": "række plus kolonne",
        "subtractionGrid": "rækken er tallet, der trækkes fra, kolonnen svaret",
        "multiplicationGrid": "række gange kolonne",
        "divisionGrid": "rækken er divisoren, kolonnen svaret",
        "progressHeading": "Fremskridt gemt i {1}: {2} regnestykker spillet",
        "progressNone": "Intet fremskridt gemt endnu: {1} findes ikke.",
        "legendIntro": "Hvert regnestykke er mærket efter, hvordan barnet svarer på det i alle gemte spil:",
        "beyondTwelve": "Regnestykker over 12 (sværeste niveau):",
        "classStuck": "Regnestykker, som de fleste børn sidder fast i:",
        "classNone": "Intet fremskridt gemt for noget barn endnu.",
        "rightSoFar": "rigtigt indtil nu",
        "progressOf": "Fremskridt for {1} gemt i {2}: {3} regnestykker spillet i {4} spil, sidst {5}.",
        "classOf": "Klassens fremskridt fra {1}: {2} børn.",
        "noneYet": "ingen",
    },
    "no": {
        "summary": "{1} besvart, {2} bommet, {3} straks riktig, {4} s",
        "markWrong": "feil",
        "markSlow": "treg",
        "listLegend": "feil: feil svar; treg: ikke svart i tide",
        "pauseHint": "Trykk på en tast for å fortsette",
        "classTitle": "Hvem spiller?",
        "classHint": "Velg med piltastene og trykk Enter",
        "fluent": "sikker",
        "sometimesWrong": "av og til feil",
        "rightButSlow": "riktig, men treg",
        "stuck": "vanskelig",
        "notYetAsked": "ikke spurt ennå",
        "games": "spill",
        "minutes": "minutter",
        "lastPlayed": "sist spilt",
        "fluentRule": "riktig innen {1} s på to av de tre siste gangene, på minst to dager",
        "additionGrid": "rad pluss kolonne",
        "subtractionGrid": "raden er tallet som trekkes fra, kolonnen svaret",
        "multiplicationGrid": "rad ganger kolonne",
        "divisionGrid": "raden er divisoren, kolonnen svaret",
        "progressHeading": "Framgang lagret i {1}: {2} regnestykker spilt",
        "progressNone": "Ingen framgang lagret ennå: {1} finnes ikke.",
        "legendIntro": "Hvert regnestykke er merket etter hvordan barnet svarer på det i alle lagrede spill:",
        "beyondTwelve": "Regnestykker over 12 (vanskeligste nivå):",
        "classStuck": "Regnestykker de fleste barna står fast på:",
        "classNone": "Ingen framgang lagret for noe barn ennå.",
        "rightSoFar": "riktig så langt",
        "progressOf": "Framgang for {1} lagret i {2}: {3} regnestykker spilt i {4} spill, sist {5}.",
        "classOf": "Klassens framgang fra {1}: {2} barn.",
        "noneYet": "ingen",
    },
    "fi": {
        "summary": "{1} vastattu, {2} ohi, {3} heti oikein, {4} s",
        "markWrong": "väärin",
        "markSlow": "hidas",
        "listLegend": "väärin: väärä vastaus; hidas: ei vastausta ajoissa",
        "pauseHint": "Jatka painamalla mitä tahansa näppäintä",
        "classTitle": "Kuka pelaa?",
        "classHint": "Valitse nuolinäppäimillä ja paina Enter",
        "fluent": "sujuva",
        "sometimesWrong": "joskus väärin",
        "rightButSlow": "oikein mutta hidas",
        "stuck": "vaikea",
        "notYetAsked": "ei vielä kysytty",
        "games": "pelit",
        "minutes": "minuutit",
        "lastPlayed": "viimeksi pelattu",
        "fluentRule": "oikein alle {1} s:ssa kahdesti kolmesta viime kerrasta, vähintään kahtena päivänä",
        "additionGrid": "rivi plus sarake",
        "subtractionGrid": "rivi on vähennettävä luku, sarake vastaus",
        "multiplicationGrid": "rivi kertaa sarake",
        "divisionGrid": "rivi on jakaja, sarake vastaus",
        "progressHeading": "Edistyminen tallessa tiedostossa {1}: {2} laskua pelattu",
        "progressNone": "Edistymistä ei ole vielä tallessa: {1} puuttuu.",
        "legendIntro": "Jokainen lasku on merkitty sen mukaan, miten lapsi vastaa siihen kaikissa tallessa olevissa peleissä:",
        "beyondTwelve": "Yli 12:n laskut (vaikein taso):",
        "classStuck": "Laskut, joihin useimmat lapset juuttuvat:",
        "classNone": "Yhdenkään lapsen edistymistä ei ole vielä tallessa.",
        "rightSoFar": "oikein tähän asti",
        "progressOf": "Pelaajan {1} edistyminen tallessa tiedostossa {2}: {3} laskua pelattu {4} pelissä, viimeksi {5}.",
        "classOf": "Luokan edistyminen lähteestä {1}: {2} lasta.",
        "noneYet": "ei yhtään",
    },
    "ca": {
        "summary": "{1} resoltes, {2} perdudes, {3} a la primera, {4} s",
        "markWrong": "error",
        "markSlow": "lenta",
        "listLegend": "error: resposta errònia; lenta: massa tard",
        "pauseHint": "Prem una tecla per continuar",
        "classTitle": "Qui juga?",
        "classHint": "Tria amb les fletxes i prem Retorn",
        "fluent": "dominada",
        "sometimesWrong": "de vegades malament",
        "rightButSlow": "bé però lenta",
        "stuck": "encallada",
        "notYetAsked": "encara no preguntada",
        "games": "partides",
        "minutes": "minuts",
        "lastPlayed": "última partida",
        "fluentRule": "bé en {1} s en dues de les tres últimes vegades, en dos dies o més",
        "additionGrid": "fila més columna",
        "subtractionGrid": "la fila és el nombre que es resta, la columna el resultat",
        "multiplicationGrid": "fila per columna",
        "divisionGrid": "la fila és el divisor, la columna el resultat",
        "progressHeading": "Progrés desat a {1}: {2} càlculs jugats",
        "progressNone": "Encara no hi ha progrés desat: {1} no existeix.",
        "legendIntro": "Cada càlcul es marca segons com el respon l'infant en totes les partides desades:",
        "beyondTwelve": "Càlculs de més de 12 (nivell més difícil):",
        "classStuck": "Càlculs en què s'encallen més infants:",
        "classNone": "Encara no hi ha progrés desat de cap infant.",
        "rightSoFar": "bé fins ara",
        "progressOf": "Progrés de {1} desat a {2}: {3} càlculs jugats en {4} partides, l'última el {5}.",
        "classOf": "Progrés de la classe des de {1}: {2} infants.",
        "noneYet": "cap",
    },
}


# What each mark means, in the legend's order (fluent, right so far, right but slow,
# sometimes wrong, stuck): the legend's line is the mark's word, the language's colon and
# this; the last one, for a fact not yet played, is the whole line.
LEGEND_ITEMS = [("legendFluent", "fluent"), ("legendRightSoFar", "rightSoFar"),
                ("legendRightButSlow", "rightButSlow"), ("legendSometimesWrong", "sometimesWrong"),
                ("legendStuck", "stuck")]
LEGEND_MEANINGS = {
    "en": [
        "asked 3 times or more; of the last 3, right within {1} s at least twice, on two days or more",
        "right and quick in its last askings, not yet asked enough or on enough days to tell",
        "right in its last askings, but not quickly enough",
        "of its last askings, at least one wrong or too slow, but no more than half",
        "more than half of its last askings wrong or too slow",
        "not yet played",
    ],
    "de": [
        "mindestens 3-mal gefragt; von den letzten 3 mindestens 2-mal richtig in {1} s, an zwei Tagen oder mehr",
        "zuletzt richtig und schnell, aber noch nicht oft genug oder an genug Tagen gefragt",
        "zuletzt richtig, aber nicht schnell genug",
        "zuletzt mindestens einmal falsch oder zu langsam, aber höchstens die Hälfte",
        "zuletzt mehr als die Hälfte falsch oder zu langsam",
        "noch nicht gespielt",
    ],
    "fr": [
        "demandé 3 fois ou plus ; sur les 3 dernières, juste en {1} s au moins deux fois, sur deux jours ou plus",
        "juste et rapide les dernières fois, pas encore assez demandé ou sur assez de jours",
        "juste les dernières fois, mais pas assez vite",
        "les dernières fois, au moins une erreur ou un retard, mais pas plus de la moitié",
        "plus de la moitié des dernières fois faux ou trop lent",
        "pas encore joué",
    ],
    "es": [
        "preguntada 3 veces o más; de las 3 últimas, bien en {1} s al menos dos veces, en dos días o más",
        "bien y rápida las últimas veces, aún no preguntada bastante o en bastantes días",
        "bien las últimas veces, pero no bastante rápida",
        "las últimas veces, al menos un error o retraso, pero no más de la mitad",
        "más de la mitad de las últimas veces mal o demasiado lenta",
        "aún no jugada",
    ],
    "it": [
        "chiesto 3 volte o più; delle ultime 3, giusto entro {1} s almeno due volte, in due giorni o più",
        "giusto e veloce le ultime volte, non ancora chiesto abbastanza o in abbastanza giorni",
        "giusto le ultime volte, ma non abbastanza veloce",
        "le ultime volte, almeno un errore o ritardo, ma non più della metà",
        "più della metà delle ultime volte sbagliato o troppo lento",
        "non ancora giocato",
    ],
    "nl": [
        "3 keer of vaker gevraagd; van de laatste 3 minstens twee keer goed binnen {1} s, op twee dagen of meer",
        "de laatste keren goed en snel, nog niet vaak genoeg of op genoeg dagen gevraagd",
        "de laatste keren goed, maar niet snel genoeg",
        "de laatste keren minstens één keer fout of te laat, maar niet meer dan de helft",
        "meer dan de helft van de laatste keren fout of te laat",
        "nog niet gespeeld",
    ],
    "pt": [
        "perguntada 3 vezes ou mais; das 3 últimas, certa em {1} s pelo menos duas vezes, em dois dias ou mais",
        "certa e rápida nas últimas vezes, ainda não perguntada bastante ou em bastantes dias",
        "certa nas últimas vezes, mas não bastante rápida",
        "nas últimas vezes, pelo menos um erro ou atraso, mas não mais de metade",
        "mais de metade das últimas vezes errada ou lenta demais",
        "ainda não jogada",
    ],
    "sv": [
        "frågat 3 gånger eller fler; av de 3 senaste rätt inom {1} s minst två gånger, på två dagar eller fler",
        "rätt och snabbt de senaste gångerna, men inte frågat tillräckligt ofta eller på tillräckligt många dagar",
        "rätt de senaste gångerna, men inte snabbt nog",
        "de senaste gångerna minst en gång fel eller för sent, men högst hälften",
        "mer än hälften av de senaste gångerna fel eller för sent",
        "inte spelat än",
    ],
    "da": [
        "spurgt 3 gange eller flere; af de 3 sidste rigtigt inden for {1} s mindst to gange, på to dage eller flere",
        "rigtigt og hurtigt de sidste gange, men ikke spurgt ofte nok eller på nok dage",
        "rigtigt de sidste gange, men ikke hurtigt nok",
        "de sidste gange mindst én gang forkert eller for sent, men højst halvdelen",
        "mere end halvdelen af de sidste gange forkert eller for sent",
        "ikke spillet endnu",
    ],
    "no": [
        "spurt 3 ganger eller mer; av de 3 siste riktig innen {1} s minst to ganger, på to dager eller mer",
        "riktig og raskt de siste gangene, men ikke spurt ofte nok eller på nok dager",
        "riktig de siste gangene, men ikke raskt nok",
        "de siste gangene minst én gang feil eller for sent, men høyst halvparten",
        "mer enn halvparten av de siste gangene feil eller for sent",
        "ikke spilt ennå",
    ],
    "fi": [
        "kysytty 3 kertaa tai useammin; kolmesta viime kerrasta oikein alle {1} s:ssa ainakin kahdesti, vähintään kahtena päivänä",
        "viime kerroilla oikein ja nopeasti, mutta ei vielä kysytty tarpeeksi usein tai tarpeeksi monena päivänä",
        "viime kerroilla oikein, mutta ei tarpeeksi nopeasti",
        "viime kerroilla ainakin kerran väärin tai liian hitaasti, mutta enintään puolet",
        "yli puolet viime kerroista väärin tai liian hitaasti",
        "ei vielä pelattu",
    ],
    "ca": [
        "preguntada 3 vegades o més; de les 3 últimes, bé en {1} s almenys dues vegades, en dos dies o més",
        "bé i ràpida les últimes vegades, encara no preguntada prou o en prou dies",
        "bé les últimes vegades, però no prou ràpida",
        "les últimes vegades, almenys un error o retard, però no més de la meitat",
        "més de la meitat de les últimes vegades malament o massa lenta",
        "encara no jugada",
    ],
}

# The class view's line saying what its columns count: this, the colon, then the words of
# the four marks counted, each with its mark.
CLASS_MARKS_INTRO = {
    "en": "Facts per operation",
    "de": "Aufgaben je Rechenart",
    "fr": "Calculs par opération",
    "es": "Cuentas por operación",
    "it": "Calcoli per operazione",
    "nl": "Sommen per bewerking",
    "pt": "Contas por operação",
    "sv": "Tal per räknesätt",
    "da": "Regnestykker pr. regningsart",
    "no": "Regnestykker per regneart",
    "fi": "Laskut laskutoimituksittain",
    "ca": "Càlculs per operació",
}


def withPracticeScreen(languages):
    """The languages with their practice screen (a dict by item name): the words above and
    the operations' names from the main menu."""
    result = []
    for code, langpick, name, screens in languages:
        words = dict(PRACTICE_WORDS[code])
        for item, index in OPERATION_ITEMS.items():
            words[item] = screens["main"][index]
        colon = " :" if code == "fr" else ":"
        for (item, word), meaning in zip(LEGEND_ITEMS, LEGEND_MEANINGS[code]):
            words[item] = words[word] + colon + " " + meaning
        words["legendNotYetPlayed"] = LEGEND_MEANINGS[code][-1]
        words["classMarks"] = "%s%s %s (F), %s (s), %s (w), %s (X)" % (
            CLASS_MARKS_INTRO[code], colon, words["fluent"], words["rightButSlow"], words["sometimesWrong"],
            words["stuck"])
        result.append((code, langpick, name, dict(screens, **{PRACTICE_SCREEN: words})))
    return result


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

    def inked(where, data):
        for b in data:
            if b != 32 and widths.get(b, 0) <= 0:
                problems.append("%s: byte 0x%02X has no ink in the font" % (where, b))
            if b in SCHOOL_SIGNS:
                problems.append("%s: '%s' would show as %s" % (where, chr(b), SCHOOL_SIGNS[b]))

    def fits(where, data, x, screen):
        inked(where, data)
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
                elif screenName == "gameover" and i == 1:
                    fits(where + " with a score", data + SCORE_SAMPLE.encode(), MENU_X,
                         screenName)
                else:
                    fits(where, data, MENU_X, screenName)
        checkPractice(code, screens[PRACTICE_SCREEN], inked, cell, widths, maxima, problems)
    return maxima, problems


def placeholders(text):
    """The numbers of the placeholders {1}, {2}.. of a text, in order of appearance."""
    return [int(n) for n in re.findall(r"\{([0-9]+)\}", text)]


def checkPractice(code, words, inked, cell, widths, maxima, problems):
    """Every practice item there, drawable, with each of its placeholders once, and the
    drawn ones within their widths."""
    for itemName, kind, count in PRACTICE_ITEMS:
        where = "%s practice %s" % (code, itemName)
        if itemName not in words:
            problems.append("%s: missing" % where)
            continue
        text = words[itemName]
        if sorted(placeholders(text)) != list(range(1, count + 1)):
            problems.append("%s: placeholders %s, {1}..{%d} each once wanted: %r"
                            % (where, placeholders(text), count, text))
        inked(where, text.encode("latin-1"))
        if kind == "terminal":
            continue
        shown = text
        for i, value in enumerate(SUMMARY_SAMPLE[:count]):
            shown = shown.replace("{%d}" % (i + 1), value)
        width = textWidth(shown.encode("latin-1"), cell, widths)
        limit = MARK_WIDTH if kind == "mark" else LINE_WIDTH
        maxima["practice " + kind] = max(maxima.get("practice " + kind, 0), width)
        if width + SHADOW > limit:
            problems.append("%s: %d pixels, at most %d: %r" % (where, width + SHADOW, limit, shown))
    for itemName in words:
        if itemName not in [name for name, _, _ in PRACTICE_ITEMS]:
            problems.append("%s practice %s: not an item the game reads" % (code, itemName))


def quote(text):
    return '"' + escape(text, {'"': "&quot;"}) + '"'


def render(languages):
    lines = ['<?xml version="1.0" encoding="ISO-8859-1"?>',
             "<!-- Plimo's menu texts: one language element per language. -->"]
    for code, langpick, name, screens in languages:
        lines.append("<language code=%s langpick=%s image=%s name=%s>"
                     % (quote(code), quote(langpick), quote("lang_%s.bmp" % code), quote(name)))
        for screenName, _ in SCREENS:
            lines.append("  <screen name=%s>" % quote(screenName))
            for text in screens[screenName]:
                lines.append("    <item text=%s/>" % quote(text))
            lines.append("  </screen>")
        # After the menus' five screens, so that their search never meets it.
        lines.append("  <screen name=%s>" % quote(PRACTICE_SCREEN))
        for itemName, _, _ in PRACTICE_ITEMS:
            lines.append("    <item name=%s text=%s/>" % (quote(itemName), quote(screens[PRACTICE_SCREEN][itemName])))
        lines.append("  </screen>")
        lines.append("</language>")
    return ("\n".join(lines) + "\n").encode("latin-1")


def wordHyphens(languages):
    """The languages with every hyphen that joins or starts a word ("Plimo-team",
    "-lisenssi") written as the soft hyphen: the font draws '-' as the problems' minus,
    as wide as the plus, and the soft hyphen as a word's short hyphen."""
    def fix(text):
        return re.sub(r"(?<=\w)-|-(?=\w)", "\u00ad", text)
    def fixAll(items):
        if isinstance(items, dict):
            return {key: fix(t) for key, t in items.items()}
        return [fix(t) for t in items]
    return [(code, fix(langpick), fix(name),
             {screen: fixAll(items) for screen, items in screens.items()})
            for code, langpick, name, screens in languages]


def main():
    cell, widths = loadMetrics(os.path.join(DATA, "font_32.bmp"))
    languages = wordHyphens(withPracticeScreen(LANGUAGES))
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
