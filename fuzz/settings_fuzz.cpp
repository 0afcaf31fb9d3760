// The settings reader fed any bytes stays in bounds (ASan); each line ends within
// its size, spaceless; every value is finite and converts to int (UBSan).
#include "app/settings.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SettingsText parsed;
    parse_settings_text(parsed, reinterpret_cast<const char*>(data), size);
    bool ok = parsed.settings_line_count == settings_max_lines;
    for (const auto& line : parsed.settings_lines) {
        const size_t length = strnlen(line, settings_line_size);
        ok = ok && length < size_t(settings_line_size) && std::memchr(line, ' ', length) == nullptr;
    }
    for (const char* key : {"screenw", "screenh", "screenbpp", "fullscreen", "antialiasing", "showcursor", "mipmapping", ""})
        ok = ok && std::isfinite(setting_value(parsed, key));
    Settings settings;
    apply_settings(settings, parsed);
    [[maybe_unused]] volatile int width = static_cast<int>(settings.screen_width),
                                  height = static_cast<int>(settings.screen_height);
    if (!ok) std::abort();
    return 0;
}
