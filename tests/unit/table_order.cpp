// A table that starts out as an array must list its entries exactly as a
// plain hash map given the same inserts and erases would: the order is
// visible to scripts (printing, keys, JSON, save).
#include "lang/value.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Map = Environment::Entries;

std::vector<std::string> listed(const Map& entries) {
    std::vector<std::string> out;
    for (auto& [key, value] : entries)
        out.push_back(key + "=" + valueToString(value));
    return out;
}

// Runs the same random operations on a table and on a plain map.
struct Twin {
    Value table = Value::newTable();
    Map model;
    int64_t n = 0; // the next index to append
    std::mt19937 rng;

    explicit Twin(unsigned seed) : rng(seed) {}
    Environment& env() { return *table.env(); }
    int pick(int bound) { return static_cast<int>(rng() % static_cast<unsigned>(bound)); }

    void set(const std::string& key, double x) {
        env().set(key, Value::number(x));
        model[key] = Value::number(x);
    }
    void remove(const std::string& key) {
        Value a, b;
        bool had = env().remove(key, a);
        auto it = model.find(key);
        ASSERT_EQ(had, it != model.end()) << key;
        if (it != model.end()) {
            b = it->second;
            model.erase(it);
        }
        ASSERT_TRUE(valuesEqual(a, b)) << key;
    }
    void append(double x) {
        env().setIndex(n, Value::number(x));
        model[indexKey(n++)] = Value::number(x);
    }
    void pop() {
        if (n == 0) return;
        Value a;
        bool had = env().removeIndex(--n, a);
        ASSERT_EQ(had, model.erase(indexKey(n)) == 1);
    }
    void checkLookups() {
        for (int64_t i = -1; i <= n + 1; ++i) {
            std::string key = indexKey(i);
            Value* found = env().find(key);
            auto it = model.find(key);
            ASSERT_EQ(found != nullptr, it != model.end()) << key;
            if (found) {
                ASSERT_TRUE(valuesEqual(*found, it->second)) << key;
            }
        }
    }
    void checkOrder() { ASSERT_EQ(listed(env().entries()), listed(model)); }

    // Mostly appends and pops, with now and then something that ends the
    // array part, weighted by `rare` (out of 1000).
    void run(int steps, int rare) {
        for (int s = 0; s < steps; ++s) {
            int op = pick(1000);
            if (op < rare) {
                switch (pick(8)) {
                case 0: set("name", s); break;
                case 1: set(indexKey(n + 1 + pick(3)), s); break; // a gap
                case 2: remove("length"); break;
                case 3: remove(indexKey(pick(static_cast<int>(n) + 1))); break;
                case 4: set("01", s); break;
                case 5: checkOrder(); break;
                case 6:
                    env()["tag"];
                    model["tag"];
                    break;
                case 7: remove("missing"); break;
                }
            } else if (op < 500) {
                append(s);
            } else if (op < 800) {
                pop();
            } else if (op < 900) {
                set("length", static_cast<double>(n));
            } else if (op < 950 && n > 0) {
                set(indexKey(pick(static_cast<int>(n))), -s); // overwrite
            } else {
                remove(indexKey(n - 1)); // a pop through the key text
                if (n > 0) --n;
            }
            if (::testing::Test::HasFatalFailure()) return;
        }
        checkLookups();
        checkOrder();
    }
};

TEST(TableOrder, ArraysListLikeThePlainMap) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        Twin twin(seed);
        twin.run(200 + static_cast<int>(seed) * 80, seed % 3 == 0 ? 0 : 4);
        ASSERT_FALSE(HasFatalFailure()) << "seed " << seed;
    }
}

TEST(TableOrder, LengthStoredBeforeAndAfterElements) {
    for (bool lengthFirst : {true, false}) {
        Twin twin(7);
        if (lengthFirst) twin.set("length", 0);
        for (int i = 0; i < 40; ++i)
            twin.append(i);
        twin.set("length", 40);
        for (int i = 0; i < 25; ++i)
            twin.pop();
        for (int i = 0; i < 100; ++i)
            twin.append(i);
        twin.checkLookups();
        twin.checkOrder();
    }
}

// A stack that keeps going up and down outgrows the log and becomes a map
// part way; the order still matches.
TEST(TableOrder, LongUpAndDownHistory) {
    Twin twin(3);
    for (int round = 0; round < 3000; ++round) {
        for (int i = 0; i <= round % 5; ++i)
            twin.append(round);
        twin.pop();
        if (round % 7 == 0) twin.set("length", static_cast<double>(twin.n));
    }
    twin.checkLookups();
    twin.checkOrder();
}

// An element found before more appends is still the element afterwards.
TEST(TableOrder, ElementsStayPutWhileTheArrayGrows) {
    Twin twin(1);
    twin.append(42);
    Value* first = twin.env().find("0");
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 5000; ++i)
        twin.append(i);
    EXPECT_EQ(first, twin.env().find("0"));
    EXPECT_EQ(first->num(), 42);
}

} // namespace
