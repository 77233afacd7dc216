# Device contexts, regions and metafile writers (being written).
