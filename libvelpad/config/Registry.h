#pragma once

#include <string>

// The engine's directories, all ending in "/". They are the settings
// directory, the one where cashreg.ini is found (ri::INI::IniPath: the working
// directory, ./ini/, ../ini/, /home/it/, or the directory configured in
// /home/itsettings.ini). The register keeps its dialogs library, its logs and
// its exchange files beside its settings, so all four paths are that directory.
//
// A base directory, when one is given, stands for the working directory: the
// lookup starts from it and every relative path of the engine is taken from
// it (Resolve), so that a caller can place a whole run's files without
// changing the process's working directory. Without one nothing changes.
class Registry {
public:
    // A relative base is taken from the working directory once, here.
    explicit Registry(const std::string& base = "");

    // Settings files (cashreg.ini, the operation and code tables).
    const std::string& GetIniPath() const { return iniPath_; }
    // The dialogs library.
    const std::string& GetDlgLibPath() const { return dlgLibPath_; }
    // Logs, the status file and the pinpad trace.
    const std::string& GetWorkPath() const { return workPath_; }
    // Result, cheque and output files.
    const std::string& GetExchangePath() const { return exchangePath_; }
    // A path as the engine opens it: a relative one is taken from the base
    // directory; without a base, and for an absolute path, it is unchanged.
    std::string Resolve(const std::string& path) const;
    // The journal file the terminal index is read from ("./jl.txt").
    std::string GetJournalPath() const { return Resolve("./jl.txt"); }

private:
    std::string base_;
    std::string iniPath_;
    std::string dlgLibPath_;
    std::string workPath_;
    std::string exchangePath_;
};
