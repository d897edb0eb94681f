#ifndef VELPAD_ENGINE_RUNOUTPUTS_H
#define VELPAD_ENGINE_RUNOUTPUTS_H

#include <string>

#include "ri/FileWritter.h"
#include "ri/KnownFile.h"

// What a run writes for its caller besides the tags: the result file (the
// code as three digits), the cheque file (the slip, or a technical check),
// whether a slip was printed, and the name of the status file (one byte,
// 0x01 while a transaction is open). The cancellation of a transaction left
// open diverts the result and cheque to files of its own for its time.
class RunOutputs {
public:
    // Where the writers stood before a diversion.
    struct Mark {
        std::string resultPath;
        std::string chequePath;
        bool printed = false;
    };

    // Puts each writer on its given file (an empty path leaves a writer where
    // it is) and clears the printed flag; returns where they stood.
    Mark Divert(const std::string& resultPath, const std::string& chequePath);
    // Puts the writers back on the files of the mark; a writer left on
    // another file is reopened on its own, which starts that file anew.
    void Restore(const Mark& mark);

    FileWritter result;
    FileWritter cheque;
    // The output and variable-environment files, rewritten after each tag list.
    ri::KnownFile outputFile;
    ri::KnownFile exchangeFile;
    bool printed = false;
    std::string statusFile = "lastop.stb";
};

#endif
