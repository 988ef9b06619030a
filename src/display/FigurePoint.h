#pragma once

namespace pictora {

// A point of a drawn figure, in the units of its picture, y pointing down.
struct FigurePoint {
    double x = 0.0;
    double y = 0.0;
};

}  // namespace pictora
