#include "config/Operations.h"

#include "ri/Conv.h"
#include "ri/Trace.h"

Operations::OpsParam::OpsParam(const std::string& text) {
    const std::size_t first = text.find(',');
    if (first == std::string::npos) {
        type.clear();
        owIndex.clear();
        name.clear();
        return;
    }
    type = text.substr(0, first);
    const std::size_t second = text.find(',', first + 1);
    if (second == std::string::npos) {
        owIndex = text.substr(first + 1);
        return;
    }
    owIndex = text.substr(first + 1, second - first - 1);
    name = text.substr(second + 1);
}

Operations::Operations(ri::Trace* trace) : Settings(trace) {}

void Operations::MakePair(const std::string& key, const std::string& value) {
    if (key.empty() || !ri::Conv::String::IsInt(key)) {
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
