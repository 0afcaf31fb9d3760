// The game window's caption, kept apart from video.h so that X11 clients
// (whose headers define their own Screen) can include it.
#pragma once

// A fixed string: the maker's web address. Tests find the window by it.
constexpr const char* game_window_caption = "quillmoor.example.org";
