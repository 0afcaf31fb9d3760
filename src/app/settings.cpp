#include "app/settings.h"

void read_settings_file(SettingsText&, const char*) {}
float setting_value(const SettingsText&, const char*) { return 0.0f; }
void load_settings(Settings&, const char*) {}
