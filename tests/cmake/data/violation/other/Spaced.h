  #  include   "lib/Private.h" // spaced
