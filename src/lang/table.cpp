#include "lang/value.h"

#include <cstdlib>
#include <deque>

namespace {

const std::string lengthKey = "length";

// A log longer than this (a stack that keeps growing and shrinking) is
// replayed into the map rather than kept.
constexpr size_t maxRuns = 1024;

// The index a key names when it is an index's own decimal text, else -1.
int64_t indexOf(const std::string& key) {
    size_t size = key.size();
    if (size == 0 || size > 18 || (key[0] == '0' && size > 1)) return -1;
    int64_t i = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return -1;
        i = i * 10 + (c - '0');
    }
    return i;
}

} // namespace

std::string indexKey(int64_t i) {
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930"
                                    "31323334353637383940414243444546474849505152535455565758596061"
                                    "62636465666768697071727374757677787980818283848586878889909192"
                                    "93949596979899";
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    uint64_t u = i < 0 ? 0 - static_cast<uint64_t>(i) : static_cast<uint64_t>(i);
    while (u >= 100) {
        const char* two = pairs + 2 * (u % 100);
        u /= 100;
        *--p = two[1];
        *--p = two[0];
    }
    if (u >= 10) {
        *--p = pairs[2 * u + 1];
        *--p = pairs[2 * u];
    } else {
        *--p = static_cast<char>('0' + u);
    }
    if (i < 0) *--p = '-';
    return std::string(p, static_cast<size_t>(end - p));
}

// Elements "0" to "n-1" in a deque, whose elements stay in place while it
// grows, as map entries do. The map beside it holds at most "length".
struct Environment::ArrayPart {
    std::deque<Value> items;
    // Appends (positive) and removals (negative) in runs, oldest first.
    std::vector<int32_t> runs;
    uint64_t steps = 0;
    // How many appends and removals came before "length" was stored.
    uint64_t lengthAt = UINT64_MAX;

    int64_t size() const { return static_cast<int64_t>(items.size()); }
    Value* at(int64_t i) { return i >= 0 && i < size() ? &items[static_cast<size_t>(i)] : nullptr; }
    bool canLog(int32_t step) const {
        if (runs.empty()) return true;
        int32_t last = runs.back();
        bool sameWay = (last > 0) == (step > 0) && std::abs(last) < INT32_MAX;
        return sameWay || runs.size() < maxRuns;
    }
    void log(int32_t step) {
        ++steps;
        if (!runs.empty() && (runs.back() > 0) == (step > 0) && std::abs(runs.back()) < INT32_MAX)
            runs.back() += step;
        else
            runs.push_back(step);
    }
};

Environment::Environment() = default;
Environment::~Environment() = default;

Value* Environment::findInArray(const std::string& key) {
    if (isIndexKey(key)) return array_->at(indexOf(key));
    auto it = variables_.find(key);
    return it == variables_.end() ? nullptr : &it->second;
}

Value* Environment::findIndex(int64_t i) {
    if (array_) return array_->at(i);
    return find(indexKey(i));
}

// Stores element `i` in the array part, starting one for a new table,
// when that keeps it an array; false otherwise, leaving `v` as it was.
bool Environment::storeIndex(int64_t i, Value& v) {
    if (fresh_) {
        if (i != 0) return false;
        array_ = std::make_unique<ArrayPart>();
        fresh_ = false;
    }
    if (!array_) return false;
    ArrayPart& part = *array_;
    if (i >= 0 && i < part.size()) {
        part.items[static_cast<size_t>(i)] = std::move(v);
        return true;
    }
    if (i != part.size() || !part.canLog(1)) return false;
    part.items.push_back(std::move(v));
    part.log(1);
    return true;
}

void Environment::set(const std::string& key, Value v) {
    if (fresh_ || array_) [[unlikely]] {
        int64_t i = indexOf(key);
        if (i >= 0 && storeIndex(i, v)) return;
        if (i < 0 && key == lengthKey) {
            if (fresh_) {
                array_ = std::make_unique<ArrayPart>();
                fresh_ = false;
            }
            auto [it, added] = variables_.try_emplace(key);
            if (added) array_->lengthAt = array_->steps;
            it->second = std::move(v);
            return;
        }
        if (array_) spill();
        fresh_ = false;
    }
    if (key.size() == 9 && key == "__setters") hasSetters = true;
    variables_[key] = std::move(v);
}

void Environment::setIndex(int64_t i, Value v) {
    if ((fresh_ || array_) && storeIndex(i, v)) return;
    set(indexKey(i), std::move(v));
}

Value& Environment::operator[](const std::string& key) {
    if (Value* v = find(key)) return *v;
    set(key, Value());
    return *find(key);
}

// Takes the last element out of the array part, when `i` is the last.
bool Environment::popLast(int64_t i, Value& taken) {
    if (i < 0 || i != array_->size() - 1 || !array_->canLog(-1)) return false;
    taken = std::move(array_->items.back());
    array_->items.pop_back();
    array_->log(-1);
    ++indexErasures;
    return true;
}

bool Environment::removeIndex(int64_t i, Value& taken) {
    if (array_ && popLast(i, taken)) return true;
    return remove(indexKey(i), taken);
}

bool Environment::remove(const std::string& key, Value& taken) {
    if (array_) {
        if (!find(key)) return false; // nothing to take out, nothing changes
        int64_t i = indexOf(key);
        if (i >= 0 && popLast(i, taken)) return true;
        spill();
    }
    auto it = variables_.find(key);
    if (it == variables_.end()) return false;
    taken = std::move(it->second);
    ++(isIndexKey(key) ? indexErasures : erasures);
    variables_.erase(it);
    return true;
}

// Replays the log into a new map: the same inserts and erases in the same
// order leave the map exactly as it would be had the table never had an
// array part. "length" moves over as it is, so places remembered for it
// stay valid; the elements move, so places remembered for them do not.
void Environment::spill() const {
    std::unique_ptr<ArrayPart> part = std::move(array_);
    Entries rebuilt;
    auto length = variables_.extract(lengthKey);
    uint64_t step = 0;
    int64_t size = 0;
    auto storeLengthIfDue = [&] {
        if (length && step == part->lengthAt) rebuilt.insert(std::move(length));
    };
    for (int32_t run : part->runs) {
        for (int32_t n = std::abs(run); n > 0; --n, ++step) {
            storeLengthIfDue();
            if (run > 0)
                rebuilt[indexKey(size++)];
            else
                rebuilt.erase(indexKey(--size));
        }
    }
    storeLengthIfDue();
    for (int64_t i = 0; i < size; ++i)
        rebuilt.find(indexKey(i))->second = std::move(part->items[static_cast<size_t>(i)]);
    variables_.swap(rebuilt);
    ++indexErasures;
}
