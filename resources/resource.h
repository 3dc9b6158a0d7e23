#pragma once
// Resource ids shared by the resource script and the code. The application
// icon has the lowest id so that the shell picks it for the program file.
#define IDI_APP 100
#define IDI_PLAY 101
#define IDI_STOP 102
// The folder chooser's bitmaps are named by text (CLOSEDFOLDER, ..., RAM), not
// by number: no ids here.
