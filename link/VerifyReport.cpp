#include "link/VerifyReport.h"

#include "link/ResultText.h"
#include "link/TransferListener.h"
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

TransferEndReport DescribeTransferEnd(TransferResult code, const TransferJob& job, const LanguageText& text)
{
    TransferEndReport report;
    auto add = [&report](const std::string& line) {
        if (!line.empty())
            report.message.push_back(line);
    };
    const WritePlan& plan = job.writePlan();
    const VerifyOutcome& verify = job.verifyOutcome();
    const bool write = code == TransferResult::WriteSucceeded || code == TransferResult::WriteFailed;
    const bool verifyResult = code == TransferResult::VerifyEqual || code == TransferResult::VerifyDiffers || code == TransferResult::VerifyReadFailed;

    if (code == TransferResult::WriteSucceeded && plan.nothingToChange()) {
        add(WriteSummary(plan, text));
        add(TransferPortText(code, job.ports(), text));
    } else if (verifyResult) {
        add(VerifyVerdict(verify, text));
        add(TransferPortText(code, job.ports(), text));
    } else {
        const std::string result = TransferResultText(code, job.ports(), text);
        for (std::size_t start = 0; start < result.size();) {
            const std::size_t end = result.find('\n', start);
            add(result.substr(start, end == std::string::npos ? std::string::npos : end - start));
            start = end == std::string::npos ? result.size() : end + 1;
        }
        if (write && plan.readOk)
            add(WriteSummary(plan, text));
        if (code == TransferResult::WriteSucceeded && verify.ran)
            add(VerifyVerdict(verify, text));
    }
    if (write)
        add(RestoreText(job.restoreOffer(), text));

    report.details = VerifyDifferences(verify, text);
    for (const std::string& line : BackupFailures(job.backupResults(), text))
        report.details.push_back(line);
    return report;
}

}  // namespace tarn
