#include "signal/import/MatRecording.h"

#include <matio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

#include "util/errors.h"
#include "util/progress.h"
#include "util/quote.h"

namespace morvane {

namespace {

// Samples of each channel read at a time. libmatio inflates a compressed
// variable from its start for every slice, so those are read in larger ones.
constexpr std::size_t kSlice = 1U << 16U;
constexpr std::size_t kCompressedSlice = 1U << 20U;

// libmatio writes its complaints to stderr; a file that is no MATLAB file is
// told apart by the open failing, and the reader's own message says the rest.
void Silent(int /*level*/, char* /*message*/) {}

struct TMatCloser {
    void operator()(mat_t* mat) const { Mat_Close(mat); }
};
struct TVarFreer {
    void operator()(matvar_t* var) const { Mat_VarFree(var); }
};
using TMat = std::unique_ptr<mat_t, TMatCloser>;
using TVar = std::unique_ptr<matvar_t, TVarFreer>;

TMat OpenMat(const std::string& path) {
    static const int kSilenced = Mat_LogInitFunc("morvane", Silent);
    static_cast<void>(kSilenced);
    return TMat(Mat_Open(path.c_str(), MAT_ACC_RDONLY));
}

bool IsNumeric(const matvar_t& var) {
    return var.class_type >= MAT_C_DOUBLE && var.class_type <= MAT_C_UINT64 && var.isComplex == 0;
}

// The samples of a numeric vector (one dimension of more than one, or a scalar); 0 otherwise.
std::size_t VectorLength(const matvar_t& var) {
    if (!IsNumeric(var) || var.rank != 2 || (var.dims[0] != 1 && var.dims[1] != 1)) {
        return 0;
    }
    return var.dims[0] * var.dims[1];
}

// Every top-level variable's info, in file order.
template <typename Visit>
void EachVariable(mat_t* mat, Visit&& visit) {
    Mat_Rewind(mat);
    while (matvar_t* raw = Mat_VarReadNextInfo(mat)) {
        const TVar var(raw);
        visit(*var);
    }
}

// The vector named column ("P" or "Data.P"), with the variable that holds it.
struct TFoundVector {
    TVar Variable;
    matvar_t* Vector = nullptr;  // the variable, or its field
    std::size_t Length = 0;
};

TFoundVector FindVector(mat_t* mat, const std::string& column) {
    const std::size_t dot = column.find('.');
    const std::string name = column.substr(0, dot);
    TFoundVector found{TVar(Mat_VarReadInfo(mat, name.c_str())), nullptr, 0};
    if (found.Variable && dot == std::string::npos) {
        found.Vector = found.Variable.get();
    } else if (found.Variable && found.Variable->class_type == MAT_C_STRUCT) {
        found.Vector = Mat_VarGetStructFieldByName(found.Variable.get(), column.substr(dot + 1).c_str(), 0);
    }
    found.Length = found.Vector != nullptr ? VectorLength(*found.Vector) : 0;
    if (found.Length == 0) {
        RaiseRecordingError("Kanál '" + ShortenedQuote(column) + "' v souboru není (jako číselný vektor)");
    }
    return found;
}

void ReadSlice(mat_t* mat, const std::string& column, matvar_t* vector, std::size_t start, std::size_t count,
               std::vector<double>& values) {
    values.resize(count);
    // Read as doubles whatever the stored class; libmatio converts.
    const matio_classes stored = vector->class_type;
    vector->class_type = MAT_C_DOUBLE;
    const int failed = Mat_VarReadDataLinear(mat, vector, values.data(), static_cast<int>(start), 1,
                                             static_cast<int>(count));
    vector->class_type = stored;
    if (failed != 0) {
        RaiseRecordingError("Kanál '" + ShortenedQuote(column) + "' nelze přečíst (vzorky " +
                            std::to_string(start + 1) + " až " + std::to_string(start + count) + ")");
    }
}

}  // namespace

bool IsMatFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[6] = {};
    in.read(head, sizeof head);
    return in.gcount() == sizeof head && std::memcmp(head, "MATLAB", sizeof head) == 0 &&
           OpenMat(path) != nullptr;
}

std::vector<TRecordingChannel> ListMatChannels(const std::string& path) {
    const TMat mat = OpenMat(path);
    if (!mat) {
        RaiseRecordingError("Soubor MATLAB nelze otevřít");
    }
    std::vector<TRecordingChannel> list;
    EachVariable(mat.get(), [&](matvar_t& var) {
        if (const std::size_t length = VectorLength(var); length > 0) {
            list.push_back({1, var.name, {}, static_cast<std::int64_t>(length), {}});
        }
        if (var.class_type != MAT_C_STRUCT) {
            return;
        }
        const unsigned fields = Mat_VarGetNumberOfFields(&var);
        char* const* names = Mat_VarGetStructFieldnames(&var);
        for (unsigned f = 0; f < fields; ++f) {
            const matvar_t* field = Mat_VarGetStructFieldByIndex(&var, f, 0);
            if (const std::size_t length = field != nullptr ? VectorLength(*field) : 0; length > 0) {
                list.push_back(
                    {1, std::string(var.name) + "." + names[f], {}, static_cast<std::int64_t>(length), {}});
            }
        }
    });
    return list;
}

std::int64_t ReadMatRecording(const std::string& path, const std::vector<std::string>& columns,
                              const TRowSink& row) {
    const TMat mat = OpenMat(path);
    if (!mat) {
        RaiseRecordingError("Soubor MATLAB nelze otevřít");
    }
    std::vector<TFoundVector> vectors;
    for (const std::string& column : columns) {
        vectors.push_back(FindVector(mat.get(), column));
        if (vectors.back().Length != vectors.front().Length) {
            RaiseRecordingError("Kanály '" + ShortenedQuote(columns.front()) + "' (" +
                                std::to_string(vectors.front().Length) + " vzorků) a '" +
                                ShortenedQuote(column) + "' (" + std::to_string(vectors.back().Length) +
                                " vzorků) nejsou stejně dlouhé");
        }
    }
    const std::size_t length = vectors.empty() ? 0 : vectors.front().Length;
    const bool compressed = std::any_of(vectors.begin(), vectors.end(), [](const TFoundVector& vector) {
        return vector.Variable->compression != MAT_COMPRESSION_NONE;
    });
    const std::size_t slice = compressed ? kCompressedSlice : kSlice;
    std::vector<std::vector<double>> slices(vectors.size());
    std::vector<double> values(vectors.size());
    TProgress* const progress = CurrentProgress();
    for (std::size_t start = 0; start < length; start += slice) {
        ReportBlockRead(progress, start, length);
        const std::size_t count = std::min(slice, length - start);
        for (std::size_t c = 0; c < vectors.size(); ++c) {
            ReadSlice(mat.get(), columns[c], vectors[c].Vector, start, count, slices[c]);
        }
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t c = 0; c < vectors.size(); ++c) {
                values[c] = slices[c][i];
                if (!std::isfinite(values[c])) {
                    RaiseRecordingError("Kanál '" + ShortenedQuote(columns[c]) + "', vzorek " +
                                        std::to_string(start + i + 1) + ": hodnota není konečné číslo");
                }
            }
            row(values, TRowPlace{static_cast<std::int64_t>(start + i + 1), {}});
        }
    }
    return static_cast<std::int64_t>(length);
}

}  // namespace morvane
