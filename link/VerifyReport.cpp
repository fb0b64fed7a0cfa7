#include "link/VerifyReport.h"

#include "radio/ImageDiff.h"

namespace tarn {

std::string VerifyVerdict(const VerifyOutcome& outcome, const LanguageText& text)
{
    if (!outcome.readOk)
        return text(165) + text(31);
    return text(outcome.equal ? 166 : 167);
}

std::vector<std::string> VerifyDifferences(const VerifyOutcome& outcome, const LanguageText& text)
{
    if (!outcome.readOk || outcome.equal)
        return {};
    return DescribeDifferences(outcome.expected, outcome.radio, DiffWords{text, text(168), text(169)});
}

std::vector<std::string> BackupFailures(const std::vector<BackupResult>& backups, const LanguageText& text)
{
    std::vector<std::string> lines;
    for (const BackupResult& backup : backups)
        if (!backup.kept)
            lines.push_back(text(171) + backup.path + ": " + backup.reason);
    return lines;
}

std::string WritePreviewHeading(const LanguageText& text)
{
    return text(342);
}

std::vector<std::string> WritePreviewLines(const WritePlan& plan, const LanguageText& text)
{
    if (!plan.readOk)
        return {};
    return DescribeChanges(plan.radio, plan.written, text);
}

std::string WriteSummary(const WritePlan& plan, const LanguageText& text)
{
    if (!plan.readOk)
        return {};
    if (plan.nothingToChange())
        return text(343);
    return text(345) + std::to_string(plan.chunksSent) + "/" + std::to_string(WholeWriteChunks);
}

std::string RestoreText(const RestoreOffer& offer, const LanguageText& text)
{
    if (!offer.offered || !offer.backup.kept)
        return {};
    return text(346) + offer.backup.path;
}

}  // namespace tarn
