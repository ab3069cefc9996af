# Shared by the scripts that build libraries from Debian's own source packages
# (build-windows-deps.sh, build-web-deps.sh): the deb-src entries, the versions the archive
# offers, and the loop that builds each package of `packages` with its `recipes` entry into
# `prefix`, skipping the ones already built from the newest version with the same recipe.
# The caller sets script_path before sourcing it, then packages, recipes, prefix, cache_root and log.

# A deb-src twin of each Debian deb entry, in a sources file of our own.
add_source_entries() {
    local target=/etc/apt/sources.list.d/zorbel-deb-src.sources
    [ -f "$target" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        log "needs root once to add $target (deb-src entries); run it with sudo"; exit 1
    fi
    local tmp; tmp=$(mktemp)
    for file in /etc/apt/sources.list.d/*.sources; do
        [ "$file" = "$target" ] && continue
        grep -qi 'debian' "$file" || continue
        # deb822 stanzas: keep the Debian ones, turn their type into deb-src.
        awk 'BEGIN{RS=""; ORS="\n\n"} /Types:[^\n]*deb/ && /debian/ {sub(/Types:[^\n]*/, "Types: deb-src"); print}' "$file" >> "$tmp"
    done
    if [ -f /etc/apt/sources.list ]; then
        grep -E '^deb[[:space:]]' /etc/apt/sources.list | grep debian | sed 's/^deb /deb-src /' > "$tmp.list" || true
        [ -s "$tmp.list" ] && install -m 644 "$tmp.list" /etc/apt/sources.list.d/zorbel-deb-src.list
        rm -f "$tmp.list"
    fi
    install -m 644 "$tmp" "$target"; rm -f "$tmp"
    log "added $target; updating the package lists"
    apt-get update -qq
}

# libopenmpt from the source lists of its own Makefile.am, through a CMake list of ours
# (cmake/libopenmpt-sources.cmake): its configure and libtool build is several times slower,
# and rejects Emscripten's host. The list's checksum is part of the recipe, so a changed
# list rebuilds it; `cmake_static` is each caller's own.
scripts=$(dirname "$script_path")
source_list_key=$(sha256sum < "$scripts/../cmake/libopenmpt-sources.cmake")
libopenmpt_recipe="cp \$scripts/../cmake/libopenmpt-sources.cmake CMakeLists.txt  # $(cut -c1-16 <<<"$source_list_key")
        cmake_static"

source_versions() {  # every version the archive lists, newest first
    apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vru
}

build_source_packages() {
    # work stays global: the EXIT trap removes it after a failed build.
    local start built package versions recipe_key stamp version candidate
    start=$(date +%s)
    built=0
    for package in "${packages[@]}"; do
        versions=$(source_versions "$package")
        if [ -z "$versions" ] && [ "$(id -u)" -eq 0 ]; then apt-get update -qq; versions=$(source_versions "$package"); fi
        [ -n "$versions" ] || { log "no source package $package"; exit 1; }
        # Layout of the recipe text (line breaks, indentation) does not count.
        recipe_key=$(echo ${recipes[$package]} | sha256sum | cut -c1-16)
        # Reused while the version it was built from is still the newest the archive offers.
        stamp=$(cat "$prefix/stamps/$package" 2>/dev/null || true)
        [ "$stamp" = "$package=$(head -1 <<<"$versions") $recipe_key" ] && continue

        rm -f "$prefix/stamps/$package"
        work=$(mktemp -d "$cache_root/work-$package-XXXXXX")
        trap 'rm -rf "$work"' EXIT  # a failed build leaves no sources behind; its log was shown
        cd "$work"
        # A mirror may list a version whose files it no longer holds: take the newest it has.
        version=""
        for candidate in $versions; do
            if apt-get source -qq "$package=$candidate" > fetch.log 2>&1; then version=$candidate; break; fi
            rm -rf ./*
        done
        [ -n "$version" ] || { cat fetch.log >&2; exit 1; }
        log "building $package $version"
        cd "$(find . -mindepth 1 -maxdepth 1 -type d | head -1)"
        eval "${recipes[$package]}"
        cd /; rm -rf "$work"
        echo "$package=$(head -1 <<<"$versions") $recipe_key" > "$prefix/stamps/$package"
        echo "$package $version" >> "$prefix/stamps/built-from"
        built=$((built + 1))
    done
    if [ "$built" -eq 0 ]; then log "reusing $prefix"
    else log "built $built libraries in $(( $(date +%s) - start )) s"; fi
    echo "$prefix"
}
