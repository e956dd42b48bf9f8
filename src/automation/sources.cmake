# automation server sources
