#include "lang/object.h"

#include <vector>

void destroy(Obj* o) {
    static bool freeing = false;
    static std::vector<Obj*>* waiting = new std::vector<Obj*>;
    if (freeing) {
        waiting->push_back(o);
        return;
    }
    freeing = true;
    delete o;
    while (!waiting->empty()) {
        Obj* next = waiting->back();
        waiting->pop_back();
        delete next;
    }
    freeing = false;
}
