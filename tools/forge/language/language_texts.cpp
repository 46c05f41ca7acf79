// The program's own texts, one table of all of them. Short, plain English;
// single-byte characters only; no line breaks inside an entry.
#include "forge/language/language_tables.h"

namespace forge {
namespace {

using enum LanguageTable;

// Help entries: each id stands for one line of the help box. The host leaves
// out the lines whose keys do nothing in the current run mode:
//   full-screen saver:   8001 8002 8007 8011 8017
//   free-standing run:   8002 8003 8017
//   on the desktop:      8001 8003 8007 8011
// and 8009 while the music is switched off for the preview. So Esc has a
// line per mode (8001 window, 8002 desktop, 8003 screen saver), the keys
// that only work in a free-standing run sit on 8007 (F) and 8011 (T), and
// 8017 is the desktop's own Ctrl + right click.
constexpr LanguageText kTexts[] = {
    // System
    {System, 9991, "Load settings", "Title of the dialog that opens a settings file."},
    {System, 9992, "Save settings", "Title of the dialog that saves a settings file."},
    {System, 9993, "%s already exists. Do you want to replace it?",
     "Asked before a settings file is replaced; %s is the file's name."},

    // Info
    {Info, 1, "Pelorin Tessaly - press S again to hide this."},

    // Help: the keys of each line; the line itself is GUIText of the same id.
    {Help, 8001, "Esc", "Esc: free-standing run only"},
    {Help, 8002, "Esc", "Esc: on the desktop only"},
    {Help, 8003, "Esc", "Esc: screen saver only"},
    {Help, 8004, "F1"},
    {Help, 8005, "Space, Enter"},
    {Help, 8006, "S, W"},
    {Help, 8007, "F", "F: free-standing run only"},
    {Help, 8008, "F3, F2"},
    {Help, 8009, "M", "M: left out while the music is off for the preview"},
    {Help, 8010, "B"},
    {Help, 8011, "T", "T: free-standing run only"},
    {Help, 8012, "Page Up, Page Down"},
    {Help, 8013, "Arrow keys, C"},
    {Help, 8014, "L"},
    {Help, 8015, "Z"},
    {Help, 8016, "R"},
    {Help, 8017, "Ctrl + right click", "Ctrl + right click: on the desktop only"},

    // GUIInfo: 1000 character set (1: default), 1001 font face, 1002 the
    // face used when 1001 is missing, 1003 and 1005 height and weight of the
    // heading font, 1004 right-to-left (0: no), 1006 and 1007 the heights of
    // the normal and the small font.
    {GuiInfo, 1000, "1"},
    {GuiInfo, 1001, "Liberation Sans"},
    {GuiInfo, 1002, "Arial"},
    {GuiInfo, 1003, "-16 700"},
    {GuiInfo, 1004, "0"},
    {GuiInfo, 1005, "-16 700"},
    {GuiInfo, 1006, "-15"},
    {GuiInfo, 1007, "-12"},

    // GUIText: the lines of the help box.
    {GuiText, 8001, "Esc: close the aquarium"},
    {GuiText, 8002, "Esc: take the aquarium off the desktop"},
    {GuiText, 8003, "Esc: end the screen saver"},
    {GuiText, 8004, "F1: show or hide this help"},
    {GuiText, 8005, "Space: open or close the settings; Enter: show the toolbar"},
    {GuiText, 8006, "S: show details and the frame rate; W: wire-frame view"},
    {GuiText, 8007, "F: switch between a window and full screen"},
    {GuiText, 8008, "F3: a click drops food; F2: a click startles the fish"},
    {GuiText, 8009, "M: music on or off"},
    {GuiText, 8010, "B: water sound on or off"},
    {GuiText, 8011, "T: keep the window on top of the others"},
    {GuiText, 8012, "Page Up / Page Down: the previous or next tank"},
    {GuiText, 8013, "Left / Right: move the bubbles; Up / Down: bubbles on or off; C: spread them out"},
    {GuiText, 8014, "L: hold the colours or let them change"},
    {GuiText, 8015, "Z: zoom in or out"},
    {GuiText, 8016, "R: new random fish"},
    {GuiText, 8017, "Ctrl + right click: pass the click on to the desktop"},

    // GUIText: the general options page.
    {GuiText, 6000, "Hide the mouse pointer"},
    {GuiText, 6001, "Use the plain mouse pointer"},
    {GuiText, 6002, "Moving the mouse ends the screen saver"},
    {GuiText, 6003, "Window always on top"},
    {GuiText, 6004, "Close full screen when I switch programs"},
    {GuiText, 6005, "Lock the Super key in full screen"},
    {GuiText, 6007, "Let the monitor switch off"},

    // GUIText: the page buttons, one per page.
    {GuiText, 9010, "Tank"},
    {GuiText, 9011, "Fish"},
    {GuiText, 9012, "Sound"},
    {GuiText, 9013, "Colours"},
    {GuiText, 9014, "Music"},
    {GuiText, 9015, "Display"},
    {GuiText, 9016, "General"},

    // GUIHint: the general options page.
    {GuiHint, 6000, "Keep the mouse pointer hidden over the aquarium"},
    {GuiHint, 6001, "Show the desktop's own pointer instead of the aquarium's"},
    {GuiHint, 6002, "End the screen saver as soon as the mouse moves"},
    {GuiHint, 6003, "Keep the aquarium window above other windows"},
    {GuiHint, 6004, "Leave full screen when another program becomes active"},
    {GuiHint, 6005, "Stop the Super key from opening the desktop menu while in full screen"},
    {GuiHint, 6007, "Allow the monitor to power down while the screen saver runs"},

    // GUIHint: the page buttons.
    {GuiHint, 9010, "Choose the tank and which tanks take turns"},
    {GuiHint, 9011, "Choose the fish"},
    {GuiHint, 9012, "Water sound, bubbles and specks"},
    {GuiHint, 9013, "The colours of the light"},
    {GuiHint, 9014, "Your music"},
    {GuiHint, 9015, "Screen, window and panel layout"},
    {GuiHint, 9016, "General options"},

    // GUIHint: the command buttons around the pages.
    {GuiHint, 9020, "Close the aquarium"},
    {GuiHint, 9021, "Switch between a window and full screen"},
    {GuiHint, 9022, "Load settings from a file"},
    {GuiHint, 9023, "Save your settings to a file"},
    {GuiHint, 9024, "Go back to the default settings"},
    {GuiHint, 9025, "Close the settings"},
    {GuiHint, 9026, "Show the keys"},
    {GuiHint, 9027, "More pages"},

    // GUIHint: the icons of the pop-up toolbar, left to right.
    {GuiHint, 9990, "Startle the fish (F2)"},
    {GuiHint, 9991, "Drop food (F3)"},
    {GuiHint, 9992, "Zoom in or out (Z)"},
    {GuiHint, 9993, "Settings (Space)"},
    {GuiHint, 9994, "Close the aquarium (Esc)"},
};

}  // namespace

std::span<const LanguageText> language_texts() { return kTexts; }

}  // namespace forge
