// What the Journal window shows of an entry, apart from its date (which takes the user's
// own date form, from the system).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reading/Journal.h"

namespace hexalune {

// The note's first line, for the list: up to its first line break.
std::string NoteFirstLine(std::string_view note);

// The reading of an entry in full: the hexagram's four texts, then, when lines changed, what
// each changing line says and the hexagram they lead to with its judgment, as the Changing
// Lines window shows them. For a reading cast for a question, the texts to read by the rule
// of the moving lines, as the Question window shows them.
std::string EntryReadingText(const JournalEntry& entry);

// Where the entry that was on show is in a list read anew: the very row (the same reading
// with the same note), else the same reading whose note changed outside, else -1. The
// window leaves the note box, and what the reader is typing in it, alone for the very row.
int ListedIndex(const std::vector<JournalEntry>& entries, const JournalEntry& shown);

}  // namespace hexalune
