#include "CaseFile.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Rest(std::istringstream& in) {
    std::string rest;
    std::getline(in >> std::ws, rest);
    return rest;
}

// "NAME BYTES" as a pair, the bytes unescaped.
std::pair<std::string, std::string> NamedBytes(std::istringstream& in) {
    std::string name;
    in >> name;
    return {name, Unescape(Rest(in))};
}

void ReadStageLine(const std::string& word, std::istringstream& in, CaseStage* stage) {
    if (word == "var") {
        stage->vars.push_back(Rest(in));
    } else if (word == "pinpad-arg") {
        for (std::string arg; in >> arg;) stage->pinpadArgs.push_back(arg);
    } else if (word == "run") {
        for (std::string arg; in >> arg;) stage->args.push_back(arg);
    } else if (word == "stdout") {
        stage->stdoutLines.push_back(Unescape(Rest(in)));
    } else if (word == "stderr") {
        stage->stderrTexts.push_back(Rest(in));
    } else if (word == "expect-file") {
        stage->files.push_back(NamedBytes(in));
    } else if (word == "expect-in-file") {
        stage->fileParts.push_back(NamedBytes(in));
    } else if (word == "expect-no-file") {
        stage->absentFiles.push_back(Rest(in));
    } else if (word == "expect-in-log") {
        stage->logParts.push_back(Unescape(Rest(in)));
    } else {
        throw std::runtime_error("unknown word \"" + word + "\"");
    }
}

}  // namespace

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'n') {
            out += '\n';
        } else if (c == 'r') {
            out += '\r';
        } else if (c == 'e') {
            out += '\x1b';
        } else if (c == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

CaseFile CaseFile::Read(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path);
    CaseFile result;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        std::istringstream in(line);
        std::string word;
        if (!(in >> word) || word[0] == '#') continue;
        try {
            if (word == "setting") {
                result.settings.push_back(Rest(in));
            } else if (word == "file") {
                result.files.push_back(NamedBytes(in));
            } else if (word == "serial") {
                result.serial = true;
            } else if (word == "scenario") {
                result.stages.emplace_back();
                result.stages.back().scenario = Rest(in);
            } else if (result.stages.empty()) {
                throw std::runtime_error("\"" + word + "\" before any scenario");
            } else {
                ReadStageLine(word, in, &result.stages.back());
            }
        } catch (const std::exception& e) {
            throw std::runtime_error(path + ":" + std::to_string(number) + ": " + e.what());
        }
    }
    return result;
}
