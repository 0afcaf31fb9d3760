// The settings file: seven numeric display settings read once at start-up
// from a forgiving text reader. Anything not understood is ignored and a
// missing setting reads as 0.
#pragma once

constexpr int settings_max_lines = 100;
constexpr int settings_line_size = 256;  // 255 characters and the terminator

// The first 100 lines of the file with every space removed.
struct SettingsText {
    char settings_lines[settings_max_lines][settings_line_size] = {};
    int settings_line_count = 0;  // 0 when the file could not be read, else 100
};

struct Settings {
    float screen_width = 0.0f;   // 0 asks for the desktop width
    float screen_height = 0.0f;  // 0 asks for the desktop height
    int screen_bpp = 0;          // 0 means the display's depth
    bool fullscreen = false;
    bool show_cursor = false;
    bool antialiasing = false;
    bool mipmapping = false;
    float aspect_ratio = 0.0f;   // screen_width / screen_height
};

// Fills text from the file at path; an unreadable file leaves it empty.
void read_settings_file(SettingsText& text, const char* path);

// The number given for key on its last matching line, or 0.
float setting_value(const SettingsText& text, const char* key);

// Reads the file at path and sets every setting.
void load_settings(Settings& settings, const char* path);
