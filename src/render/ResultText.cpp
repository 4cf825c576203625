#include "render/ResultText.h"

#include "model/Evaluate.h"
#include "render/NumberText.h"

namespace {

QString sign(char plain, ResultText::Form form) {
    if (form == ResultText::Form::Plain)
        return QString(QLatin1Char(plain));
    return plain == '<' ? QStringLiteral("&LT;") : QStringLiteral("&GT;");
}

} // namespace

QString ResultText::quartileClass(QuartileClass position, Form form) {
    const bool html = form == Form::Html;
    switch (position) {
    case QuartileClass::BelowQ1:
        return html ? QStringLiteral("&#60;Q1") : QStringLiteral("<Q1");
    case QuartileClass::Q1ToMedian:
        return QStringLiteral("Q1/Mdn");
    case QuartileClass::Median:
        return QStringLiteral("Mdn");
    case QuartileClass::MedianToQ3:
        return QStringLiteral("Mdn/Q3");
    case QuartileClass::AboveQ3:
        break;
    }
    return html ? QStringLiteral("&#62;Q3") : QStringLiteral(">Q3");
}

QString ResultText::gcrClass(GcrClass position) {
    switch (position) {
    case GcrClass::Low:
        return QStringLiteral("alacsony");
    case GcrClass::Normal:
        return QStringLiteral("normál");
    case GcrClass::High:
        return QStringLiteral("magas");
    case GcrClass::ExtremelyHigh:
        break;
    }
    return QStringLiteral("extrém magas");
}

QString ResultText::trend(const std::optional<double>& ratio, const QString& label, QChar decimalSeparator, Form form) {
    if (!ratio)
        return QStringLiteral("nincs");
    const QString number = fourDecimalText(*ratio, decimalSeparator);
    if (*ratio >= 0)
        return number + QStringLiteral(" -") + sign('>', form) + QLatin1Char(' ') + label;
    return label + QLatin1Char(' ') + sign('<', form) + QStringLiteral("- ") + number;
}

QString ResultText::trend(const EvaluationResult& result, int row, int place, QChar decimalSeparator, Form form) {
    return trend(result.trendRatio.at(static_cast<size_t>(row - 1)).at(static_cast<size_t>(place - 1)),
                 Evaluation::trendLabel(row, place), decimalSeparator, form);
}

QString ResultText::totalIndex(const std::array<EvaluationResult::TopCell, 3>& top, QChar decimalSeparator, Form form) {
    auto part = [decimalSeparator](const EvaluationResult::TopCell& c) {
        return c.code + QLatin1Char('(') + fourDecimalText(c.score, decimalSeparator) + QLatin1Char(')');
    };
    auto between = [form](const EvaluationResult::TopCell& a, const EvaluationResult::TopCell& b) {
        return QLatin1Char(' ') + (a.score == b.score ? QStringLiteral("=") : sign('>', form)) + QLatin1Char(' ');
    };
    return part(top[0]) + between(top[0], top[1]) + part(top[1]) + between(top[1], top[2]) + part(top[2]);
}
