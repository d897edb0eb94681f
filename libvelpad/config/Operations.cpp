#include "config/Operations.h"

#include <utility>

#include "config/SettingRules.h"
#include "ri/Conv.h"
#include "ri/Trace.h"

Operations::OpsParam::OpsParam(const std::string& text) {
    SettingRules::Operation fields = SettingRules::SplitOperation(text);
    type = std::move(fields.type);
    owIndex = std::move(fields.owIndex);
    name = std::move(fields.name);
}

Operations::Operations(ri::Trace* trace) : Settings(trace) {}

void Operations::MakePair(const std::string& key, const std::string& value) {
    if (!SettingRules::IsTableCode(key)) {
        return;
    }
    ops_[static_cast<int>(ri::Conv::String::ToInt(key))] = OpsParam(value);
}

const Operations::OpsParam& Operations::Find(int code) const {
    static const OpsParam kNone;
    const auto found = ops_.find(code);
    return found != ops_.end() ? found->second : kNone;
}

bool Operations::IsExist(int code) const {
    return ops_.count(code) != 0;
}

std::string Operations::GetType(int code) const {
    return Find(code).type;
}

std::string Operations::GetOwInd(int code) const {
    return Find(code).owIndex;
}

std::string Operations::GetName(int code) const {
    return Find(code).name;
}

std::string Operations::GetNameByInd(const std::string& owIndex) const {
    for (const auto& [code, op] : ops_) {
        if (op.owIndex == owIndex) {
            return op.name;
        }
    }
    return OpsParam().name;
}

void Operations::Print() const {
    for (const auto& [code, op] : ops_) {
        trace_->Debug("KEY: %03d   VALUE: [%3s] [%3s] [%s]", code, op.type.c_str(),
                      op.owIndex.c_str(), op.name.c_str());
    }
}
