// The import point conversion: affine runs and coordinate-system runs without an outside library.
#include "coords/import_transformation.h"

#include <gtest/gtest.h>

#include <numbers>

TEST(ImportTransformation, DefaultConvertsAsIdentity) {
    TImportTransformation transformation;
    transformation.PrepareImportTransformation();
    double x = 12.5, y = -3;
    EXPECT_TRUE(transformation.ConvertPoint(x, y).Succeeded());
    EXPECT_EQ(x, 12.5);
    EXPECT_EQ(y, -3);
}

TEST(ImportTransformation, AffineUsesTheChainAsItStandsAtPreparation) {
    TImportTransformation transformation;
    transformation.Chain().Add(std::make_unique<TTransformTranslationItem>(100, 200));
    transformation.PrepareImportTransformation();
    transformation.Chain().Add(std::make_unique<TTransformScalingItem>(10, 10));

    double x = 1, y = 2;
    ASSERT_TRUE(transformation.ConvertPoint(x, y).Succeeded());
    EXPECT_EQ(x, 101);
    EXPECT_EQ(y, 202);

    transformation.PrepareImportTransformation(); // the next run sees the scaling
    x = 1, y = 2;
    transformation.ConvertPoint(x, y);
    EXPECT_EQ(x, 1010);
    EXPECT_EQ(y, 2020);
}
