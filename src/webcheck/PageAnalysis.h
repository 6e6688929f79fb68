#pragma once

#include "WebQueryProject.h"

#include <QByteArray>
#include <QList>

// What the analysis looks for; read again at every slice, so a change takes effect at once.
struct ScanOptions {
    bool text = true;
    bool images = false;
    bool links = false;
};

// Lists the candidate values of a page source: text runs between tags that begin with an ASCII
// letter or digit, and the double-quoted values of href= and src= inside tags; script elements
// are passed over. The scan runs in slices of a bounded number of steps so a caller can return to
// the event loop between them, show the progress and cancel.
class PageAnalysis {
public:
    // Steps between two returns to the event loop: about a millisecond of work.
    static constexpr qsizetype kSliceSteps = 1 << 16;

    explicit PageAnalysis(QByteArray source);

    // Runs at most `steps` steps; true when the analysis has ended.
    bool run(qsizetype steps, const ScanOptions &options);
    void cancel();
    bool finished() const { return m_finished; }
    // The analysis ended because it found as many values as a list may hold (ProjectFile::kMaxEntries).
    bool stoppedAtBudget() const { return m_stoppedAtBudget; }
    // The scan position (from 1) against the length: the progress.
    qsizetype position() const { return m_p; }
    qsizetype length() const { return m_length; }
    // The rows found since the last call, in source order.
    QList<AnalysisEntry> takeRows();

private:
    enum class Phase { Between, Script, Tag, TagImages, TagNext, Attribute, Text };

    char at(qsizetype p) const { return m_source.at(p - 1); }
    bool startsWithLower(qsizetype p, const char *lowerText, qsizetype size) const;
    void addRow(AnalysisEntry::Kind kind, qsizetype start);
    void endTag();

    QByteArray m_source;
    qsizetype m_length;
    qsizetype m_p = 1;
    qsizetype m_valueStart = 1;
    int m_depth = 0;
    bool m_tagEnded = false;
    bool m_scriptEnded = false;
    AnalysisEntry::Kind m_attributeKind = AnalysisEntry::Link;
    Phase m_phase = Phase::Between;
    bool m_finished = false;
    bool m_stoppedAtBudget = false;
    qsizetype m_rowCount = 0;
    QList<AnalysisEntry> m_rows;
};

// The whole analysis at once (tests, benchmarks).
QList<AnalysisEntry> analysePage(const QByteArray &source, const ScanOptions &options);
