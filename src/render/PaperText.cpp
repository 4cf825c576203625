#include "render/PaperText.h"

QString PaperText::escaped(const QString& plain) {
    return plain.toHtmlEscaped();
}
