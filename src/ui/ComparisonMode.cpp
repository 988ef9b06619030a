#include "ui/ComparisonMode.h"

namespace pictora {

QString ComparisonModeCaption(ComparisonMode mode) {
    switch (mode) {
        case ComparisonMode::kSideBySide: return QStringLiteral("&Lado a lado");
        case ComparisonMode::kSplit: return QString::fromUtf8("&Divisão");
        case ComparisonMode::kDifference: return QString::fromUtf8("Di&ferença");
        case ComparisonMode::kSsimMap: return QStringLiteral("&Mapa SSIM");
        case ComparisonMode::kButteraugliMap: return QStringLiteral("Mapa &Butteraugli");
    }
    return {};
}

QString ComparisonModeKey(ComparisonMode mode) {
    switch (mode) {
        case ComparisonMode::kSideBySide: return QStringLiteral("side-by-side");
        case ComparisonMode::kSplit: return QStringLiteral("split");
        case ComparisonMode::kDifference: return QStringLiteral("difference");
        case ComparisonMode::kSsimMap: return QStringLiteral("ssim-map");
        case ComparisonMode::kButteraugliMap: return QStringLiteral("butteraugli-map");
    }
    return {};
}

std::optional<ComparisonMode> ComparisonModeOfKey(const QString& key) {
    for (ComparisonMode mode : kComparisonModes)
        if (ComparisonModeKey(mode) == key) return mode;
    return std::nullopt;
}

}  // namespace pictora
