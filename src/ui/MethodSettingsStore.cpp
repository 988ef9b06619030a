#include "ui/MethodSettingsStore.h"

#include <QSettings>
#include <QStringList>

#include "pipeline/MethodSettingsText.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

constexpr const char* kGroup = "metodo";

std::string Text(const QSettings& settings, const char* key) {
    return settings.value(QString::fromLatin1(key)).toString().toStdString();
}

}  // namespace

MethodSettings LoadMethodSettings(QSettings& settings) {
    MethodSettings method;
    settings.beginGroup(QString::fromLatin1(kGroup));
    ParseCodeBy(Text(settings, "codeBy"), method.coding.codeBy);
    ParseRefine(Text(settings, "refine"), method.coding.refine);
    ParseLambda(Text(settings, "lambda"), method.coding.lambda);
    ParseDeblockStrength(Text(settings, "deblock"), method.deblock);
    settings.endGroup();
    return method;
}

void SaveMethodSettings(QSettings& settings, const MethodSettings& method) {
    settings.beginGroup(QString::fromLatin1(kGroup));
    settings.setValue(QStringLiteral("codeBy"), QString::fromLatin1(CodeByName(method.coding.codeBy)));
    settings.setValue(QStringLiteral("refine"), QString::number(method.coding.refine));
    settings.setValue(QStringLiteral("lambda"), QString::fromStdString(ShortestText(method.coding.lambda)));
    settings.setValue(QStringLiteral("deblock"), QString::number(DeblockLevel(method.deblock)));
    settings.endGroup();
}

QString MethodStatusText(const MethodSettings& method) {
    QStringList on;
    if (method.coding.codeBy == CodeBy::Error) on << QStringLiteral("menor erro");
    if (method.coding.refine > 0) on << QStringLiteral("refinamento %1").arg(method.coding.refine);
    if (method.coding.lambda > 0.0)
        on << QStringLiteral("lambda ") + QString::fromStdString(ShortestText(method.coding.lambda));
    if (method.deblock != DeblockStrength::Off)
        on << QStringLiteral("desbloqueio %1").arg(DeblockLevel(method.deblock));
    return on.isEmpty() ? QString() : QString::fromUtf8("Método: ") + on.join(QStringLiteral(", "));
}

}  // namespace pictora
