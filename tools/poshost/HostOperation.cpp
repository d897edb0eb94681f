#include "HostOperation.h"

#include <functional>
#include <map>

namespace {

using Runner =
    std::function<PaymentProcessingAnswer(AbstractPaymentProcessing&, const HostOperation&)>;

const std::map<QString, Runner>& runners() {
    static const std::map<QString, Runner> table{
        {"payment", [](auto& p, auto& o) { return p.payment(o.request); }},
        {"cancel", [](auto& p, auto& o) { return p.cancel(o.request); }},
        {"qrpayment", [](auto& p, auto& o) { return p.paymentByQRCodeOnPinPad(o.request); }},
        {"qrcancel", [](auto& p, auto& o) { return p.cancelByQRCodeOnPinPad(o.request); }},
        {"totals", [](auto& p, auto& o) { return p.checkTotals(o.number); }},
        {"report", [](auto& p, auto&) { return p.printReport(); }},
        {"shortreport", [](auto& p, auto&) { return p.printShortReport(); }},
        {"merchantreport",
         [](auto& p, auto& o) { return p.printReportByMerchantId(o.merchantId); }},
        {"copy", [](auto& p, auto& o) { return p.printCopy(o.number); }},
    };
    return table;
}

}  // namespace

QStringList HostOperation::names() {
    QStringList names;
    for (const auto& entry : runners()) names << entry.first;
    return names;
}

std::optional<PaymentProcessingAnswer> HostOperation::run(
    AbstractPaymentProcessing& processing) const {
    auto it = runners().find(name);
    if (it == runners().end()) return std::nullopt;
    return it->second(processing, *this);
}
