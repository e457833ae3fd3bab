// control.ini as users and other programs may leave it: read-only, garbage
// bytes, numbers beyond every width, texts beyond every field, no section of
// ours. Each fault keeps other sections around ours, which no run may change.
#pragma once
#include <string>
#include <vector>

struct IniFault {
    const char* name;
    std::string contents;
    bool readOnly;
    bool namesOtherSaver;       // a saver run starts another saver program (and fails to)
};

const std::vector<IniFault>& ControlIniFaults();

// The file's bytes without the application's section (header and lines up to
// the next section header): what a run may not change.
std::string OutsideApplicationSection(const std::string& ini);

// Puts a fault in place as control.ini; a read-only one becomes writable again
// when this goes out of scope.
class PlacedIniFault {
public:
    explicit PlacedIniFault(const IniFault& fault);
    ~PlacedIniFault();
    PlacedIniFault(const PlacedIniFault&) = delete;
    PlacedIniFault& operator=(const PlacedIniFault&) = delete;

private:
    void* held_ = nullptr;      // a handle that lets others read but not write
};
