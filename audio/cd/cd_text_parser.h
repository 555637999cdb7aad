// CD-Text of a disc (READ TOC format 5 reply) turned into texts per disc and per track.
#pragma once

#include "framework/core.h"

class CAudioCDTextParser {
public:
    static constexpr int kEntries = 255;  // entry 0: the disc; entry n: track n
    static constexpr int kStrings = 8;    // indexed by pack type minus 80h
    static constexpr int kMaxStringLength = 255;

    CAudioCDTextParser();
    virtual ~CAudioCDTextParser();
    CAudioCDTextParser(const CAudioCDTextParser&) = delete;
    CAudioCDTextParser& operator=(const CAudioCDTextParser&) = delete;

    // Takes the single-byte texts of block 0 from a reply of `size` bytes (the length field
    // is not trusted beyond it). Returns the number of packs read in sequence; 0 when the
    // first pack is out of sequence or a double-byte pack comes before a sequence break.
    int Parse(const BYTE* reply, int size);

    // Each copies one string of entry `index` (0-254); out of range gives the empty string.
    void GetTitle(CString& text, int index) const { Get(text, index, 0); }
    void GetPerformer(CString& text, int index) const { Get(text, index, 1); }
    void GetComposer(CString& text, int index) const { Get(text, index, 3); }
    void GetGenre(CString& text, int index) const { Get(text, index, 7); }

private:
    void InitEntry(int index);
    void FreeEntry(int index);
    void Get(CString& text, int index, int kind) const;

    CString* m_entries[kEntries];
};
