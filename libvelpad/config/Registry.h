#pragma once

#include <string>

// The engine's directories, all ending in "/". They are the settings
// directory, the one where cashreg.ini is found (ri::INI::IniPath: the working
// directory, ./ini/, ../ini/, /home/it/, or the directory configured in
// /home/itsettings.ini). The register keeps its dialogs library, its logs and
// its exchange files beside its settings, so all four paths are that directory.
class Registry {
public:
    Registry();

    // Settings files (cashreg.ini, the operation and code tables).
    const std::string& GetIniPath() const { return iniPath_; }
    // The dialogs library.
    const std::string& GetDlgLibPath() const { return dlgLibPath_; }
    // Logs, the status file and the pinpad trace.
    const std::string& GetWorkPath() const { return workPath_; }
    // Result, cheque and output files.
    const std::string& GetExchangePath() const { return exchangePath_; }

private:
    std::string iniPath_;
    std::string dlgLibPath_;
    std::string workPath_;
    std::string exchangePath_;
};
