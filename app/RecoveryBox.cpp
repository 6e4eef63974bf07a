// A map is named by its path and the file name of the map it came from;
// the texts are UTF-8 escapes, split where a hex digit follows.
#include "app/RecoveryBox.h"

#include <filesystem>

#include "platform/Platform.h"

namespace {

const char* const kOneMap = "Die ungespeicherte Karte der letzten Sitzung wurde gesichert:";
const char* const kMaps = "Die ungespeicherten Karten der letzten Sitzungen wurden gesichert:";
const char* const kDamaged =
    "Die Wiederherstellungsdaten einer Sitzung sind besch\xC3\xA4" "digt und wurden aufbewahrt:";
const char* const kStrokesMissing = " (ohne die Striche der besch\xC3\xA4" "digten Daten)";
const char* const kNewMap = " (neue Karte)";
const char* const kNotRecovered =
    "Die ungespeicherte Karte einer fr\xC3\xBC" "heren Sitzung konnte nicht gesichert werden: ";
const char* const kKeptForNextStart =
    ". Ihre Daten bleiben f\xC3\xBCr den n\xC3\xA4" "chsten Start aufbewahrt.";
const char* const kUnkept = "Die ungespeicherte Karte konnte nicht gesichert werden: ";
const char* const kSaveNow = ". Jetzt speichern?";

std::string MapLine(const RecoveredMap& map) {
    if (map.strokesMissing) return map.path + kStrokesMissing;
    if (map.origin.empty()) return map.path + kNewMap;
    return map.path + " (aus " + std::filesystem::u8path(map.origin).filename().u8string() + ")";
}

}  // namespace

std::string TellRecovery(const RecoveryReport& report) {
    std::string open;
    std::string text;
    if (!report.maps.empty()) text = report.maps.size() == 1 ? kOneMap : kMaps;
    for (const RecoveredMap& map : report.maps) text += "\n" + MapLine(map);
    for (const std::string& folder : report.damaged)
        text += std::string(text.empty() ? "" : "\n\n") + kDamaged + "\n" + folder;
    if (!report.maps.empty()) {
        if (plat::AskBox(nullptr, text.c_str(), "Wiederherstellung", plat::MB_ICONINFORMATION,
                         "\xC3\x96" "ffnen", "Sp\xC3\xA4ter"))
            open = report.maps.front().path;
    } else if (!text.empty()) {
        plat::MessageBox(nullptr, text.c_str(), "Wiederherstellung", plat::MB_ICONINFORMATION);
    }
    if (!report.failure.empty()) {
        const std::string failure = kNotRecovered + report.failure + kKeptForNextStart;
        plat::MessageBox(nullptr, failure.c_str(), "Fehler", plat::MB_ICONEXCLAMATION);
    }
    return open;
}

bool AskToSaveUnkept(const std::string& reason) {
    const std::string text = kUnkept + reason + kSaveNow;
    return plat::AskBox(nullptr, text.c_str(), "Fehler", plat::MB_ICONEXCLAMATION, "Ja", "Nein");
}
