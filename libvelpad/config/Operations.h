#pragma once

#include <map>
#include <string>

#include "config/Settings.h"

// The operation table (ops.ini, or the file named by OPERATION_INI_FILE):
// the caller's operation codes and how each maps onto the pinpad's own
// operations. Lines read CODE=TYPE,OWINDEX,NAME; CODE is up to 9 digits (no
// sign), other lines are ignored; a code read again replaces the earlier line.
// The table is not emptied between loads.
class Operations : public Settings {
public:
    // One operation as the pinpad knows it.
    struct OpsParam {
        // An operation that was never configured.
        OpsParam() = default;
        // Splits "TYPE,OWINDEX,NAME": the name is all after the second comma
        // ("NONE" with one comma); without any comma all three are empty.
        explicit OpsParam(const std::string& text);

        std::string type = "-1";
        std::string owIndex = "-1";
        std::string name = "NONE";
    };

    explicit Operations(ri::Trace* trace = nullptr);

    void MakePair(const std::string& key, const std::string& value) override;

    bool IsExist(int code) const;
    // Type, OW index and name of a code; "-1", "-1", "NONE" when not configured.
    std::string GetType(int code) const;
    std::string GetOwInd(int code) const;
    std::string GetName(int code) const;
    // Name of the lowest code whose OW index equals owIndex; "NONE" when none.
    std::string GetNameByInd(const std::string& owIndex) const;
    // One debug trace line per operation.
    void Print() const;

private:
    const OpsParam& Find(int code) const;

    std::map<int, OpsParam> ops_;
};
