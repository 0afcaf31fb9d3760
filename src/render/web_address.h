// The maker's web address: the window's caption and the pause screen's last
// footer line. Tests find the window by it. Kept apart from the headers that
// define Screen, so that X11 clients (whose headers define their own) can
// include it.
#pragma once

constexpr const char* game_web_address = "quillmoor.example.org";
