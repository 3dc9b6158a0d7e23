#pragma once
// Every persistent setting, as held while the program runs.
#include <cstdint>
#include <string>

namespace ostrel {

struct Settings {
    bool shuffle = false;              // "shufle"
    bool addvlist = true;              // "addvlist"
    bool playing = false;              // "playstat"
    bool fitToScreen = false;          // "prop"
    std::int32_t intervalValue = 5;    // "TimeInterval"
    std::int32_t intervalUnit = 2;     // "secund": 1 s, 2 min, 3 h
    std::int32_t currentIndex = 0;     // "selected"
    std::uint8_t kolprokr = 1;         // "kolprokr"
    std::uint8_t dailyHour = 1;        // "intime1"
    std::uint8_t dailyMinute = 1;      // "intime2"
    std::int32_t windowWidth = 800;    // "wid"
    std::int32_t windowHeight = 472;   // "hei"
    std::int32_t listLeft = 311;       // "left"
    std::int32_t timeFromMs = 60000;   // "TimeFrom"
    std::int32_t timeToMs = 3600000;   // "TimeTo"
    bool randomInterval = false;       // "TimeRandom"
    bool loadnew = false;              // "loadnew"
    bool autorunChangeAndExit = false; // "onload"
    bool autorunEnabled = false;       // "onwinload"
    bool dailyMode = false;            // "InTimeCh"
    std::string downfoad;              // "downfoad", ends in "\"
    std::string wallpaperStyle = "2";  // "where", one character
    std::string lastopen;              // "lastopen"
    std::string currentPath;           // "PathToSelected"
    std::string lastsave;              // "lastsave"
};

}  // namespace ostrel
