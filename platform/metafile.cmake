# Metafile writers (being written).
