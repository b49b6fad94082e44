// The own callsign, locator and UTC offset: their checks, the conversions the
// traffic code calls, the start-up callsign prompt and the Personal Info
// dialog's rules (the Qt dialog and the console only lay them out).
#pragma once

#include <string>

#include "core/app_settings.h"

namespace qn {

class Instance;
class Prompter;

// Normalises to six characters ("jn54" upper-cased gives "JN54AA"); false and
// the text untouched when it is not a locator.
bool ValidateLocator(std::string& text);
// The offset text ("1", "-5", "5:30", "5.30") as a fraction of a day.
double OffsetToDays(const std::string& offsetText);

// Asks for the callsign until one is given (or no answer can come any more);
// returns true when the stored callsign changed.
bool AskCallsign(Prompter& prompter, AppSettings& settings);

enum class PersonalField { Callsign, Locator, UtcOffset };

struct PersonalInfoFields {
  std::string callsign;
  std::string locator;
  std::string utcOffset;
};

// Backspace (8), Tab (9) and Escape (27) pass in every box.
bool PersonalInfoKeyAllowed(PersonalField field, char c);
PersonalInfoFields PersonalInfoLoad(const AppSettings& settings);
// Stores what is valid (an empty callsign or an invalid locator keeps the old
// value) and saves the configuration.
void PersonalInfoSave(Instance& app, const PersonalInfoFields& fields);
// The same rules without saving, for tests and the console.
void ApplyPersonalInfo(AppSettings& settings, const PersonalInfoFields& fields);

}  // namespace qn
