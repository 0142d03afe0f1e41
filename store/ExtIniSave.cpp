// The definition-file model: writing it back.
#include "ExtIniFile.h"

#include <cstring>
#include <memory>

#include "Files.h"
#include "Handle.h"

namespace {

// Sinks that receive the model's bytes as Emit makes them. TRuleSink keeps no bytes; it notes what
// a save would write: the encoding rule over the bytes after the mark, whether they are all ASCII
// (which reads the same in both encodings), and the first three bytes.
struct TRuleSink {
    TEncodingRule Rule;
    bool Start = true;
    bool Ascii = true;
    unsigned char First[3] = {0, 0, 0};
    size_t Seen = 0;
    void Put(const char* p, size_t n) {
        for (size_t i = 0; i < n && Seen < 3; ++i)
            First[Seen++] = static_cast<unsigned char>(p[i]);
        if (Start && n == kUtf8MarkSize && StartsWithUtf8Mark(p, n))
            Rule.Mark();
        else
            Rule.Feed(p, n);
        for (size_t i = 0; i < n && Ascii; ++i)
            Ascii = static_cast<unsigned char>(p[i]) < 0x80;
        Start = false;
    }
};
struct TStringSink {
    std::string& Out;
    void Put(const char* p, size_t n) { Out.append(p, n); }
};

// Writes the bytes to the file as they are made, through a fixed buffer, so that saving a large
// file needs no memory block as large as the file.
struct TFileSink {
    HANDLE File;
    bool Ok = true;
    size_t Used = 0;
    char Buffer[1 << 16];

    explicit TFileSink(HANDLE file) : File(file) {}
    void Put(const char* p, size_t n) {
        if (Used + n > sizeof Buffer)
            Flush();
        if (n > sizeof Buffer)
            Ok = Ok && WriteAll(File, p, n);
        else {
            memcpy(Buffer + Used, p, n);
            Used += n;
        }
    }
    bool Flush() {
        Ok = Ok && WriteAll(File, Buffer, Used);
        Used = 0;
        return Ok;
    }
};

template <class Sink> void PutLine(Sink& sink, const std::string& line) {
    sink.Put(line.data(), line.size());
    sink.Put("\r\n", 2);
}

} // namespace

template <class Sink> void TExtIniSection::Emit(Sink& sink) const {
    if (!FName.empty() || FNameless) {
        // If a name ends in a lone lead byte of code page 932, that byte would take the "]" as its
        // second byte, and the line would no longer read as a header. A blank put between them
        // keeps it a header; reading the file trims the blank off again.
        std::string header = "[" + FName + "]";
        std::string name;
        if (!IsSectionHeader(header, name, FFile->FEncoding))
            header.insert(header.size() - 1, " ");
        PutLine(sink, header);
    }
    for (const TExtIniItem* item = FFirst; item; item = item->FNext)
        PutLine(sink, item->Text());
    sink.Put("\r\n", 2);
}

void TExtIniSection::WriteTo(std::string& out) const {
    TStringSink sink{out};
    Emit(sink);
}

template <class Sink> void TExtIniFile::Emit(Sink& sink) const {
    // A UTF-8 mark is written when the file had one. It is also written when the first line begins
    // with the mark's bytes (which happens when a CR between them was dropped on loading): without
    // a mark before them, the next load would take those bytes for the mark and drop them.
    const TExtIniItem* first = FPreamble.First();
    if (FHasUtf8Bom || (first && StartsWithUtf8Mark(first->Text().data(), first->Text().size())))
        sink.Put(kUtf8Mark, kUtf8MarkSize);
    FPreamble.Emit(sink);
    for (const TExtIniSection* s = FFirstInFile; s; s = s->FNextInFile)
        s->Emit(sink);
}

bool TExtIniFile::KeepsEncoding() const {
    TRuleSink sink;
    Emit(sink);
    return sink.Rule.Encoding() == FEncoding || sink.Ascii;
}

bool TExtIniFile::ReadsBackAsItself() const {
    TRuleSink sink;
    Emit(sink);
    const unsigned char* b = sink.First;
    // A text that starts with FF FE or FE FF would be refused by the next load as UTF-16, the same
    // test that TTextBuffer::LoadFromFile makes.
    if (sink.Seen >= 2 && b[0] >= 0xFE && (b[0] ^ b[1]) == 1)
        return false;
    return FHasUtf8Bom || !(sink.Seen == kUtf8MarkSize &&
                            StartsWithUtf8Mark(reinterpret_cast<const char*>(b), kUtf8MarkSize));
}

void TExtIniFile::WriteTo(std::string& out) const {
    TStringSink sink{out};
    Emit(sink);
}

bool TExtIniFile::SaveToFile(const std::string& path) const {
    return ReplaceWholeFile(path, [&](HANDLE file) {
        // The sink's 64 KB buffer is too large for the stack, so it is taken from the heap.
        std::unique_ptr<TFileSink> sink(new TFileSink(file));
        Emit(*sink);
        return sink->Flush();
    });
}

bool TExtIniFile::Save() const {
    return !FFileName.empty() && KeepsEncoding() && ReadsBackAsItself() && SaveToFile(FFileName);
}
