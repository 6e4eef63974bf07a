// Hydraulic erosion by water droplets, after the droplet model of H. T.
// Beyer, "Implementation of a method for hydraulic erosion" (2015).
//
// Conventions: a droplet lives in grid units: its position (x, y) is
// measured in cells from vertex (0, 0), it moves one grid step per step of
// its life, and heights are read bilinearly from the four corners of the
// cell it is in (heights in the model's own units). Droplets start at random
// points of a LandRegion, one after the other, all drawn from one
// ErosionRandom, so a seed gives the same heights on every machine (integer
// arithmetic and IEEE double operations only, no library randomness and no
// transcendental functions). A droplet ends when it leaves the region, that
// is when its cell has a corner outside, and writes only vertices inside
// the region, so nothing outside it changes. Heights stay within
// [minHeight, maxHeight] of the model; a height already outside is only
// moved towards that range, and one that is no number (NaN, infinite) stays
// as it is and ends every droplet that reaches it.
#pragma once

#include <cstdint>

#include "terrain/LandRegion.h"

class TerrainModel;

// The model's parameters, named once. The defaults are the parameter set
// published with this droplet model and used by its public descriptions.
struct ErosionParams {
    double inertia = 0.05;               // share of the old direction kept each step, 0 .. 1
    double sedimentCapacityFactor = 4.0;  // capacity per unit of drop, speed and water
    double minSedimentCapacity = 0.01;   // capacity on flat ground, so flats still erode
    double depositSpeed = 0.3;           // share of the excess sediment dropped per step
    double erodeSpeed = 0.3;             // share of the free capacity taken per step
    double evaporateSpeed = 0.01;        // share of the water lost per step
    double gravity = 4.0;                // speed gained per unit of drop
    int erosionRadius = 3;               // grid steps around the droplet's vertex it erodes
    int maxDropletLifetime = 30;         // steps before a droplet ends
    double initialWater = 1.0;
    double initialSpeed = 1.0;
};

// Droplets per frame of the erosion brush, by area of the brush, so that a
// held button wears every part of a brush at the same rate whatever its
// size (the strength of the tool scales the count further).
constexpr double kErosionDropletsPerVertexGentle = 0.02;
constexpr double kErosionDropletsPerVertexStrong = 0.08;
int ErosionBrushDroplets(int brush, bool strong);

// PCG32 (permuted congruential generator, XSH RR output), 64-bit state.
class ErosionRandom {
public:
    explicit ErosionRandom(uint64_t seed);
    uint32_t Next();
    // Uniform in [0, 1), 32 bits of resolution.
    double Unit();

private:
    uint64_t state;
};

// Runs `droplets` droplets, each started at a uniform random point of the
// region, and returns the rectangle of the vertices it changed (empty when
// none changed). Normals and colours are left to RelightAfterErosion.
VertexRect ErodeRegion(TerrainModel& t, const LandRegion& region, int droplets, ErosionRandom& rng,
                       const ErosionParams& params = ErosionParams());

// Re-lights every vertex whose normal or colour depends on a height inside
// changed: the rectangle widened by one vertex to the left and below.
void RelightAfterErosion(TerrainModel& t, const VertexRect& changed);
