#include "api/KeptResults.h"

namespace {

// The setting names of the files a run leaves for the register.
const char* const kFiles[] = {"CHEQ_FILE",    "RESULT_FILE",    "OUTPUT_FILE",
                              "VAR_ENV_FILE", "CANCEL_RC_FILE", "CANCEL_CH_FILE"};
const char* const kResultTags[] = {"response_code", "text_message"};

}  // namespace

KeptResults::KeptResults(Tags* tags, const char* hidden) : tags_(tags) {
    if (hidden && tags_->IsExistParams(hidden)) {
        before_[hidden] = tags_->Get(hidden);
        tags_->Delete(hidden);
    }
    for (const char* name : kFiles) {
        if (tags_->IsExistParams(name)) before_[name] = tags_->Get(name);
        tags_->Add(name, "");
    }
    for (const char* name : kResultTags) {
        const std::string value = tags_->Get(name);
        if (!value.empty()) before_[name] = value;
    }
}

KeptResults::~KeptResults() {
    for (const char* name : kFiles) tags_->Delete(name);
    for (const char* name : kResultTags) tags_->Delete(name);
    for (const auto& [name, value] : before_)
        tags_->Add(name, value, static_cast<int>(value.size()), Tags::TAG_TEXT);
}
