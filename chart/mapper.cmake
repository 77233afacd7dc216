# Mapper, coordinate arrays, view transform, bitmap store (being written).
