#pragma once

// The browser's content switches as the engine obeys them (all on by default).
struct WebContentSwitches
{
    bool images = true;     // images are requested and shown
    bool videos = true;     // videos load and play
    bool sounds = true;     // pages are heard
    bool animations = true; // CSS animations and transitions run, animated GIFs move

    friend bool operator==(const WebContentSwitches&, const WebContentSwitches&) = default;
};
