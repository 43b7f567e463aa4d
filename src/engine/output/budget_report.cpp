#include "engine/output/budget_report.h"

#include <cstdio>

namespace pelko {

std::string decimalSizeText(std::int64_t bytes)
{
    char text[32];
    if (bytes < 1000)
        std::snprintf(text, sizeof text, "%lld bytes", static_cast<long long>(bytes));
    else if (bytes < 1000 * 1000)
        std::snprintf(text, sizeof text, "%.1f kB", double(bytes) / 1000);
    else
        std::snprintf(text, sizeof text, "%.2f MB", double(bytes) / 1e6);
    return text;
}

std::string budgetReportText(const BudgetReport& report)
{
    std::string text = decimalSizeText(std::int64_t(report.bytes));
    if (!report.setting.empty())
        text += ", " + report.setting;
    if (report.meanPsnr > 0) {
        char psnr[32];
        std::snprintf(psnr, sizeof psnr, ", mean PSNR %.1f dB", report.meanPsnr);
        text += psnr;
    }
    return text;
}

}  // namespace pelko
