#ifndef VELPAD_TESTS_E2E_CASEFILE_H
#define VELPAD_TESTS_E2E_CASEFILE_H

#include <string>
#include <utility>
#include <vector>

// One end-to-end case, read from a ".case" file. A case sets up an
// installation (the example one, with extra settings and files), then plays
// one or more stages: each stage starts the virtual pinpad with a scenario,
// runs velrun once and checks what it printed and the files it left.
//
//   # comment
//   setting KEY=VALUE          appended to cashreg.ini
//   file NAME BYTES            a file placed before the first run
//   serial                     the link is a pseudo-terminal, not TCP
//   scenario FILE              starts a stage with a ready scenario
//   var NAME=VALUE             a scenario variable of the stage
//   pinpad-arg ARG...          further arguments of vpinpad for the stage
//   run ARG...                 velrun's arguments
//   stdout LINE                a line velrun must print
//   stderr TEXT                text velrun must write to standard error
//   expect-file NAME BYTES     the file holds exactly these bytes after the run
//   expect-in-file NAME BYTES  the file holds these bytes somewhere
//   expect-no-file NAME        the file does not exist after the run
//   expect-in-log BYTES        the engine's log (Logs/*.log) holds these bytes
//
// BYTES take the escapes \n, \r, \e (ESC), \xNN and \\.
struct CaseStage {
    std::string scenario;
    std::vector<std::string> vars;
    std::vector<std::string> pinpadArgs;
    std::vector<std::string> args;
    std::vector<std::string> stdoutLines;
    std::vector<std::string> stderrTexts;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::pair<std::string, std::string>> fileParts;
    std::vector<std::string> absentFiles;
    std::vector<std::string> logParts;
};

struct CaseFile {
    std::string name;
    std::vector<std::string> settings;
    std::vector<std::pair<std::string, std::string>> files;
    bool serial = false;
    std::vector<CaseStage> stages;

    // Throws std::runtime_error naming the line of a mistake.
    static CaseFile Read(const std::string& path);
};

// Decodes the escapes of BYTES.
std::string Unescape(const std::string& text);

#endif
