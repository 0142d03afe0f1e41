// The definition-file model: writing it back.
#include "ExtIniFile.h"

#include <cstring>
#include <memory>

#include "Files.h"
#include "Handle.h"

namespace {

// Sinks for the model's bytes. The encoding rule over them after the mark, whether they are ASCII
// alone (the same in both encodings), and the first three.
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

// Written as they are made, through a buffer: a large file needs no block of its size.
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
        // A name ending in a lone lead byte would take the "]" for its second byte; a blank
        // between, trimmed on reading, keeps it a header.
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
    // A first line that begins with the mark's bytes (a CR between them dropped on loading) gets a
    // mark before it, or the next load would take them for one.
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
    // FF FE or FE FF, as a load tells a UTF-16 file.
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
        // The sink's buffer is large for the stack; the heap gives it or the save fails.
        std::unique_ptr<TFileSink> sink(new TFileSink(file));
        Emit(*sink);
        return sink->Flush();
    });
}

bool TExtIniFile::Save() const {
    return !FFileName.empty() && KeepsEncoding() && ReadsBackAsItself() && SaveToFile(FFileName);
}
