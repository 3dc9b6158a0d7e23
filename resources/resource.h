#pragma once
// Resource ids shared by the resource script and the code. The application
// icon has the lowest id so that the shell picks it for the program file.
#define IDI_APP 100
#define IDI_PLAY 101
#define IDI_STOP 102
