// A clear view (--clear-view): the problem to answer and the answer typed stand twice as
// large, in the font's white face on a dark panel, for a child who needs to see them
// better; the rest of the field looks as always.
#pragma once

// Draws, on the locked screen, the leading problem where it stands and the answer
// prompt where the game draws it (310, 420), each in drawClearText on a PanelColour
// panel with room around it: white on the panel is better than 7:1, and the digits'
// face is 32 pixels tall. Nothing without the setting or problem.
void drawClearView();
