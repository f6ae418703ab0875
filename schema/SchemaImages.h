// The images of the schema tree, one per node kind (17 x 17 pixels), drawn in code.
#pragma once

class wxImageList;

// A new list of kindCount images, image n for node kind n; the caller owns it.
wxImageList* CreateSchemaImageList();
