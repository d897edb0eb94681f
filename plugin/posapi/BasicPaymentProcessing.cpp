#include "BasicPaymentProcessing.h"

PaymentProcessingAnswer BasicPaymentProcessing::notSupported() {
    return PaymentProcessingAnswer::failure(
        tr::Tr("paymentProcessingNotSupported", "Операция не поддерживается"));
}

bool BasicPaymentProcessing::isPaymentEnable(PaymentProcessingRequest::Type) const {
    return false;
}

bool BasicPaymentProcessing::isCancelEnable(PaymentProcessingRequest::Type) const {
    return false;
}

PaymentProcessingAnswer BasicPaymentProcessing::payment(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::cancel(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::checkTotals(int) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::printCopy(int) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::printReport() {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::printReportByMerchantId(const QString&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::printShortReport() {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::paymentByQRCodeOnPinPad(
    const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::cancelByQRCodeOnPinPad(
    const PaymentProcessingRequest&) {
    return notSupported();
}

void BasicPaymentProcessing::setProcessingDirectory(const QString& directory) {
    m_processingDirectory = directory;
}

bool BasicPaymentProcessing::init() {
    return true;
}

PaymentProcessingAnswer BasicPaymentProcessing::change(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::checkTotalsByMerchantId(const QString&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::balance(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::discountCard(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::loyaltyCards(const PaymentProcessingRequest&) {
    return notSupported();
}

bool BasicPaymentProcessing::checkOption(EPaymentProcessingOption::Option option) const {
    return (m_options & static_cast<unsigned>(option)) != 0;
}

void BasicPaymentProcessing::setOption(EPaymentProcessingOption::Option option, bool enabled) {
    if (enabled)
        m_options |= static_cast<unsigned>(option);
    else
        m_options &= ~static_cast<unsigned>(option);
}

void BasicPaymentProcessing::cancelCardRequest() {}

PaymentProcessingAnswer BasicPaymentProcessing::testConnection() {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::demandPinCode(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::demandQRCode(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::paymentByBiometry(const PaymentProcessingRequest&) {
    return notSupported();
}

PaymentProcessingAnswer BasicPaymentProcessing::paymentWithCashAdvance(
    const PaymentProcessingRequest&) {
    return notSupported();
}

bool BasicPaymentProcessing::interruptPayment() {
    return false;
}

QString BasicPaymentProcessing::getHashedCardNumber() const {
    return QString();
}

bool BasicPaymentProcessing::sendEnqueuedMessage() {
    return true;
}
