#pragma once
// Resource ids shared by the resource script and the code. The application
// icon has the lowest id so that the shell picks it for the program file.
#define IDI_APP 100
#define IDI_PLAY 101
#define IDI_STOP 102
// The folder chooser's bitmaps are named by text (CLOSEDFOLDER, ..., RAM), not
// by number: no ids here.
// The main window's pictures, drawn by scripts/make-artwork.py into art/.
#define IDB_HEADER 200
#define IDB_HEADER_STRIP 201
#define IDB_SHADOW_SIDE 202
#define IDB_SHADOW_EDGE 203
#define IDB_SHADOW_CORNER 204
#define IDB_PANEL_LEFT 205
#define IDB_PANEL_MIDDLE 206
#define IDB_PANEL_RIGHT 207
// Toolbar image strips of equal cells; magenta RGB(255,0,255) is transparent.
#define IDB_TOOLBAR_PLAYBACK 208  // 24 x 24: play, next, schedule settings, shuffle
#define IDB_TOOLBAR_LIST 209      // 80 x 16: add, list, add highlighted (the blink)
#define IDB_TOOLBAR_SIDE 210      // 36 x 36: exit, full screen, download
#define IDR_PLACEHOLDER 211       // JPEG 200 x 100, for a missing or unreadable picture
// The same pictures (IDB_HEADER to IDR_PLACEHOLDER) drawn at 150 % and 200 %
// have their ids at 100 % plus these.
#define IDB_AT_150 100
#define IDB_AT_200 200
