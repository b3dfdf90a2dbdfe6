#pragma once
// The matrix library: arrays, vectors and matrices of every shape.
#include "positioning/matrix/MatrixFailure.h"
#include "positioning/matrix/RealArray.h"
#include "positioning/matrix/Vector.h"
#include "positioning/matrix/RectMat.h"
#include "positioning/matrix/SquareMat.h"
#include "positioning/matrix/DiagMat.h"
#include "positioning/matrix/TriangMat.h"
#include "positioning/matrix/SymMat.h"
