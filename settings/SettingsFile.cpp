#include "SettingsFile.h"

#include "CurrentDirectory.h"
#include "IniProfile.h"

namespace vela {

std::string SettingsFileName() {
    // A removed current folder still gives its path: reads find no file, writes name the folder in their message.
    const std::string folder = files::currentDirectory();
    return folder.empty() ? std::string("MARVOK.INI") : folder + "/MARVOK.INI";
}

void readSettings(EditorState& state) {
    const std::string path = SettingsFileName();
    state.MailAddress = ini::readString(path, "MAIL", "ADD", "ERROR");
    state.LineBreakAfterTag = ini::readInt(path, "SW", "STI1", 0);
    state.ReselectAfterTag = ini::readInt(path, "SW", "STI2", 1);
    state.ImageFileNameOnly = ini::readInt(path, "SW", "STI3", 0);
    if (state.MailAddress == "ERROR") state.MailAddress.clear();
}

void writeSwitches(const EditorState& state) {
    const std::string path = SettingsFileName();
    ini::writeInt(path, "SW", "STI1", state.LineBreakAfterTag);
    ini::writeInt(path, "SW", "STI2", state.ReselectAfterTag);
    ini::writeInt(path, "SW", "STI3", state.ImageFileNameOnly);
}

void writeMailAddress(const EditorState& state) { ini::writeString(SettingsFileName(), "MAIL", "ADD", state.MailAddress); }

} // namespace vela
