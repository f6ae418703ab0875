// The images of the schema tree, one per node kind (17 x 17 pixels), drawn in code.
#pragma once

class wxImageList;

// A new list of kindCount images, image n for node kind n; the caller owns it.
wxImageList* CreateSchemaImageList();

// The properties sheet's nine images (16 x 16 pixels): cross, error disc, cube, lines of text,
// linked boxes, window with lines, one person, two persons, key (PropertyImage). The caller
// owns it.
wxImageList* CreatePropertySheetImageList();
