#include "app/CommandLine.h"

#include "formats/PasswordStore.h"

CommandLine CommandLine::parse(const QStringList& parameters) {
    CommandLine result;
    if (parameters.size() == 1) {
        result.examinationFile = parameters.at(0);
    } else if (parameters.size() == 2) {
        const PasswordStore::Parameter first = PasswordStore::parseParameter(parameters.at(0));
        if (first.key == PasswordStore::handoverKey()) {
            result.handoverPassword = first.value;
            result.examinationFile = parameters.at(1);
        }
    }
    return result;
}
