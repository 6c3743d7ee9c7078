#include "game/animation.h"
#include "game/vectors.h"
#include "lib/random.h"
#include "runner/error.h"

#include <cmath>
#include <string>

// A burst of particles from one point, each flying off in a whole-degree
// direction drawn from the same generator as `random`.
Value createParticles(Args args) {
    if (args.size() < 5) error("createParticles needs (x, y, count, speed, lifetime)");
    double x = args[0].num(), y = args[1].num(), speed = args[3].num(), life = args[4].num();
    int32_t count = intView(args[2]);
    Value list = Value::newTable();
    for (int32_t i = 0; i < count; ++i) {
        double theta = (drawRandom() % 360) * kPi / 180;
        Value particle = Value::newTable();
        Environment& p = *particle.env();
        p.set("x", Value::number(x));
        p.set("y", Value::number(y));
        p.set("vx", Value::number(std::cos(theta) * speed));
        p.set("vy", Value::number(std::sin(theta) * speed));
        p.set("life", Value::number(life));
        list.env()->set(std::to_string(i), particle);
    }
    list.env()->set("length", Value::number(count));
    return list;
}
