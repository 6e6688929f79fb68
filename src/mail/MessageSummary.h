#pragma once

#include "MailMessage.h"

// Reads sender, subject and date from a message's header (the body, if any, is not looked at).
// Encoded words are decoded by VMime; a word whose charset is unknown or whose bytes do not fit
// its charset gives its bytes as UTF-8 when they are valid UTF-8, else as Windows-1252, so the
// slot gets what can be read. The sender is built from the address's parts as parsed. Every text
// is one line: control characters (an encoded NUL, CR or LF among them) become blanks, since the
// texts go into gateway lines. A date whose offset lies beyond ±14 hours is no date. Missing
// fields give empty texts.
MailSummary summarizeMessage(const QByteArray &message);
