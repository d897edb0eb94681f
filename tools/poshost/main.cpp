// poshost: a minimal POS host. Loads the payment plug-in, points it at a
// processing directory and runs one operation, printing the answer.
//
//   poshost --plugin FILE [--dir DIR] OPERATION [--type N] [--amount N]
//           [--terminal ID] [--receipt N] [--rrn REF] [--merchant ID] [--number N]
//
// Exit status: 0 answer succeeded, 2 answer failed, 1 bad command line or a
// plug-in that cannot be loaded.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include "AnswerPrinter.h"
#include "HostOperation.h"
#include "PluginHost.h"

namespace {

const QList<QCommandLineOption>& options() {
    static const QList<QCommandLineOption> list{
        {"plugin", "Plug-in file to load.", "file"},
        {"dir", "Processing directory (the plug-in's default when absent).", "dir"},
        {"type", "Request type (1 payment, 3 refund).", "type", "1"},
        {"amount", "Amount in minor units.", "amount", "0"},
        {"terminal", "Terminal identifier.", "id"},
        {"receipt", "Receipt number of an earlier operation.", "number"},
        {"rrn", "Reference of an earlier operation.", "ref"},
        {"merchant", "Merchant identifier for merchantreport.", "id"},
        {"number", "Argument of totals and copy.", "number", "0"},
    };
    return list;
}

int usage(const QString& error) {
    QTextStream(stderr) << "poshost: " << error
                        << "\noperations: " << HostOperation::names().join(' ') << '\n';
    return 1;
}

HostOperation operationFrom(const QCommandLineParser& parser) {
    HostOperation operation;
    operation.name = parser.positionalArguments().value(0);
    operation.request.type =
        static_cast<PaymentProcessingRequest::Type>(parser.value("type").toInt());
    operation.request.amount = parser.value("amount").toLongLong();
    operation.request.terminalId = parser.value("terminal");
    operation.request.receiptNumber = parser.value("receipt");
    operation.request.rrn = parser.value("rrn");
    operation.merchantId = parser.value("merchant");
    operation.number = parser.value("number").toInt();
    return operation;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions(options());
    parser.addPositionalArgument("operation", HostOperation::names().join(", "));
    if (!parser.parse(app.arguments())) return usage(parser.errorText());
    if (!parser.isSet("plugin") || parser.positionalArguments().size() != 1)
        return usage("need --plugin and exactly one operation");
    const HostOperation operation = operationFrom(parser);
    if (!HostOperation::names().contains(operation.name))
        return usage("unknown operation '" + operation.name + "'");

    PluginHost host;
    if (!host.load(parser.value("plugin"))) return usage(host.error());
    if (parser.isSet("dir")) host.processing()->setProcessingDirectory(parser.value("dir"));
    const PaymentProcessingAnswer answer = *operation.run(*host.processing());
    QTextStream out(stdout);
    printAnswer(out, answer);
    return answer.error == 0 ? 0 : 2;
}
