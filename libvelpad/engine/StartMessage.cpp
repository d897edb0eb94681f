// The start message: the operation's type and pinpad index, the currency,
// the amount and the card field, built from the run's tags.
#include "engine/PPAD.h"
#include "engine/Texts.h"
#include "engine/handlers/RunRecords.h"
#include "engine/handlers/TextForms.h"
#include "ri/Trace.h"

namespace {

using texts::kEsc;

constexpr int kCloseDayOperation = 99;

// The card field of the start message: a short masked "pan" (D and up to six
// characters), or with "NO_PA_DSS" the track in "rfu" (empty when there is
// no track), or else "n" and the encrypted card data.
std::string StartCardData(const Tags& tags, bool paDss) {
    std::string card;
    const std::string pan = tags.Get("pan");
    if (pan.size() >= 5 && pan.size() <= 7 && pan[0] == 'D') {
        card = pan;
    } else if (paDss) {
        card = tags.Get("rfu");
    } else {
        const std::string encrypted = tags.Get("enc_data");
        return encrypted.empty() ? "" : "n" + encrypted;
    }
    if (card.empty()) return "";
    if (card[0] != ';' && card[0] != 'D' && card[0] != 'M') card.insert(0, 1, ';');
    if (card.back() == '?') card.pop_back();
    return card;
}

}  // namespace

std::string PPAD::InitParamOperation(int operation) {
    trace_->Debug4("InitParamOperation: %d", operation);
    if (operation < 1 || !tags_) return "";
    if (operation == kCloseDayOperation) {
        tags_->Add("amount", "");
        tags_->Add("rfu", "");
    }
    const std::string amount = tags_->Get("amount");
    std::string message = config_.operations.GetType(operation) + kEsc +
                          config_.operations.GetOwInd(operation) + kEsc + tags_->Get("currency") +
                          kEsc + (amount.empty() ? "" : GetAmountStr(amount, *trace_)) + kEsc +
                          kEsc + StartCardData(*tags_, Has("NO_PA_DSS"));
    if (operation != kCancelOperation) {
        handlers::Reply reply(session_);
        handlers::Request request = RequestFor(reply, *tags_);
        handlers::PrintInitInfo(request, operation);
    }
    return message;
}
