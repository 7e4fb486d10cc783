# The linker's own default script for the target, with the sections that hold a few bytes each
# folded into larger ones of the same kind: .CRT and .tls into .data, .xdata (the x64 unwind
# data, found through .pdata wherever it is) into .rdata. .pdata stays: the linker points the
# image's exception directory only at a section of that name. .eh_frame goes: it serves only
# the unwinder, which cmake/NoUnwinder.cmake keeps out.
# Each section of an image takes at least one 512-byte block of the file.
#   fenrallo_merged_sections_script(<output file>)
function(fenrallo_merged_sections_script output)
    execute_process(COMMAND ${CMAKE_LINKER} --verbose OUTPUT_VARIABLE verbose
                    RESULT_VARIABLE failed)
    string(REGEX MATCH "\n=+\n(.*)\n=+" found "${verbose}")
    set(script "${CMAKE_MATCH_1}")
    foreach(name CRT tls eh_frame xdata data rdata)
        string(REGEX MATCH "\n  \\.${name} BLOCK\\(__section_alignment__\\) :\n  {([^}]*)}" block
               "${script}")
        set(block_${name} "${block}")
        set(body_${name} "${CMAKE_MATCH_1}")
    endforeach()
    if(failed OR NOT block_data OR NOT block_rdata OR NOT block_CRT OR NOT block_tls)
        message(FATAL_ERROR "${CMAKE_LINKER} shows no default linker script of the kind expected")
    endif()
    foreach(name CRT tls eh_frame xdata)
        if(block_${name})
            string(REPLACE "${block_${name}}" "" script "${script}")
        endif()
    endforeach()
    # The TLS support's own .CRT$XD* sections would otherwise still make a .CRT of their own.
    set(data "\n  .data BLOCK(__section_alignment__) :\n  {${body_data}${body_CRT}")
    string(APPEND data "    KEEP (*(SORT(.CRT$XD*)))\n${body_tls}}")
    string(REPLACE "${block_data}" "${data}" script "${script}")
    set(rdata "\n  .rdata BLOCK(__section_alignment__) :\n  {${body_rdata}${body_xdata}}")
    string(APPEND rdata "\n  /DISCARD/ : { *(.eh_frame*) }")
    string(REPLACE "${block_rdata}" "${rdata}" script "${script}")
    file(WRITE ${output} "${script}\n")
endfunction()
