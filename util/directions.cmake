# Directions, sites, normal gravity and dates (being written).
